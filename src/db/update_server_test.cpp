#include "db/update_server.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "main_func/addresses.h"

#include "support/temp_dir.h"
namespace {

class UpdateServerTest : public ::testing::Test {
 protected:
  void WriteOptions(const std::string& text) { temp_.Write("options.ini", text); }

  TempDir temp_;
  std::string appDir_ = temp_.Dir();
};

TEST_F(UpdateServerTest, BuiltInServerWithoutOptionsOrKey) {
  EXPECT_EQ(UpdateServer(appDir_), UpdateServerUrl);
  WriteOptions("[paths]\r\ndb=db\r\n[update]\r\nother=1\r\n");
  EXPECT_EQ(UpdateServer(appDir_), UpdateServerUrl);
  WriteOptions("[update]\r\nserver=\r\n");
  EXPECT_EQ(UpdateServer(appDir_), UpdateServerUrl);
}

TEST_F(UpdateServerTest, InstallationNamesItsOwnServer) {
  WriteOptions("[Update]\r\nServer = http://127.0.0.1:8123/\r\n");
  EXPECT_EQ(UpdateServer(appDir_), "http://127.0.0.1:8123/");
}

TEST_F(UpdateServerTest, MissingFinalSlashIsAdded) {
  WriteOptions("[update]\r\nserver=http://mirror.example.net/qh\r\n");
  EXPECT_EQ(UpdateServer(appDir_), "http://mirror.example.net/qh/");
}

}  // namespace
