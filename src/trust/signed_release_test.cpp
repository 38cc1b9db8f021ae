#include "trust/signed_release.h"

#include <gtest/gtest.h>

#include "db/update_server.h"
#include "trust/release_keys.h"

#include "support/temp_dir.h"
namespace {

// The built-in server's keys apply to its address however it is written, so its files are
// always verified; any other server gets only its own [update] key.
TEST(UpdateServerTest, TheBuiltInServerIsKnownHoweverItIsWritten) {
  TempDir temp;
  const std::string appDir = temp.Dir();
  const std::vector<std::string> builtInKeys(std::begin(ReleaseKeys), std::end(ReleaseKeys));
  const struct {
    const char* server;
    bool builtIn;
  } rows[] = {
      {"", true},
      {"https://update.quillhaven.example.org/", true},
      {"https://update.quillhaven.example.org", true},
      {"http://update.quillhaven.example.org/", true},
      {"http://update.quillhaven.example.org", true},
      {"HTTPS://UPDATE.Quillhaven.Example.ORG/", true},
      {"Http://update.QUILLHAVEN.example.org", true},
      {"https://update.quillhaven.example.org:443/", true},
      {"https://update.quillhaven.example.org:443", true},
      {"http://update.quillhaven.example.org:80/", true},
      {"HTTP://Update.Quillhaven.Example.Org:80", true},
      {"https://update.quillhaven.example.org:", true},
      {"https://update.quillhaven.example.org./", true},
      // Another host, port, scheme or tree, or a login before the host.
      {"https://update.quillhaven.example.net/", false},
      {"https://update.quillhaven.example.org.evil.example/", false},
      {"https://evil.example/update.quillhaven.example.org/", false},
      {"https://quillhaven.example.org/", false},
      {"https://update.quillhaven.example.org:8443/", false},
      {"http://update.quillhaven.example.org:443/", false},
      {"https://update.quillhaven.example.org:80/", false},
      {"https://update.quillhaven.example.org:44x/", false},
      {"ftp://update.quillhaven.example.org/", false},
      {"update.quillhaven.example.org/", false},
      {"https://update.quillhaven.example.org/qh/", false},
      {"https://update.quillhaven.example.org//", false},
      {"https://update.quillhaven.example.org../", false},
      {"http://update.quillhaven.example.org@evil/", false},
      {"http://update.quillhaven.example.org:80@evil/", false},
      {"http://user@update.quillhaven.example.org/", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.server);
    temp.Write("options.ini", std::string("[update]\r\nserver=") + row.server + "\r\n");
    EXPECT_EQ(IsBuiltInUpdateServer(UpdateServer(appDir)), row.builtIn);
    EXPECT_EQ(TrustedKeys(appDir), row.builtIn ? builtInKeys : std::vector<std::string>{});
    temp.Write("options.ini", std::string("[update]\r\nserver=") + row.server + "\r\nkey=04ab\r\n");
    EXPECT_EQ(TrustedKeys(appDir), row.builtIn ? builtInKeys : std::vector<std::string>{"04ab"});
  }
}

}  // namespace
