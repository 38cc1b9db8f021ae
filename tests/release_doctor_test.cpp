// The release tool checks the catalogue with the doctor's offline checks before it packages
// anything, and refuses to make a release its users could not take or should not get
// (Linux only: it runs scripts/make-release with bash and 7za).
#ifndef _WIN32

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "main_func/files.h"
#include "main_func/process.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/signing.h"

namespace fs = std::filesystem;

namespace {

// Runs the release tool for packages numbered 1 with the arguments given after them; its
// output goes to "..\release.log" beside the fixture.
int MakeRelease(const Fixture& fx, const std::string& args) {
  const std::string log = fx.Path("..\\release.log");
  return RunRedirected("bash " + (SourceDir() / "scripts" / "make-release").string() +
                           " --prg 1:a --db 1:a --tools 1:a --updater 1:a --build " +
                           BuildDir().string() + " " + args,
                       "", "", log, log);
}

}  // namespace

// Without a key, with a key the built-in server's installations do not trust, the tool
// writes nothing at all; unsigned on request, its packages carry no dotfiles or leftovers.
TEST(ReleaseTool, RefusesToSurprise) {
  if (std::system("command -v 7za >/dev/null 2>&1") != 0) GTEST_SKIP() << "7za missing";
  if (!CannotSign().empty()) GTEST_SKIP() << CannotSign();
  Fixture fx;
  fs::copy(SourceDir() / "catalogue", fx.FsPath("..\\catalogue"), fs::copy_options::recursive);
  for (const char* leftover : {".gitattributes", "Linux.ini~", "#Linux.ini#", ".Linux.ini.swp",
                               ".DS_Store", "Thumbs.db", ".git\\config", "sub\\.hidden"})
    fx.Write(std::string("..\\catalogue\\") + leftover, "leftover");
  fx.Write("..\\catalogue\\sub\\kept.txt", "kept");
  MakeTestKey(fx, "foreign");
  const std::string catalogue = " --db-dir " + fx.Path("..\\catalogue");
  const struct {
    const char* name;
    std::string args;
    const char* said;  // "" for a release that is made
  } rows[] = {
      {"no key", "", "no --key: installations on the built-in server refuse an unsigned release"},
      {"a foreign key", " --key " + fx.Path("..\\foreign.pem"),
       "is not among the built-in release keys (src/trust/release_keys.h)"},
      {"unsigned, with dotfiles and leftovers", " --unsigned", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string folder = "..\\out" + std::to_string(&row - rows);
    const std::string out = fx.Path(folder);
    const int code = MakeRelease(fx, row.args + catalogue + " --out " + out);
    const std::string said = fx.Read("..\\release.log");
    if (*row.said != '\0') {
      EXPECT_NE(code, 0);
      EXPECT_NE(said.find(row.said), std::string::npos) << said;
      EXPECT_FALSE(fs::exists(out));  // not even an empty folder
      continue;
    }
    ASSERT_EQ(code, 0) << said;
    EXPECT_EQ(fx.Read(folder + "\\ver.ini").find("[release]"), std::string::npos);
    EXPECT_FALSE(fs::exists(out + "/ver.ini.sig"));
    const std::string list = fx.Path("..\\list.txt");
    ASSERT_EQ(RunRedirected("7za l -slt " + out + "/upt/db/1.zip", "", "", list, ""), 0);
    const std::string listed = fx.Read("..\\list.txt");
    EXPECT_NE(listed.find("Path = Linux.ini\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("Path = sub/kept.txt\n"), std::string::npos) << listed;
    for (const char* leftover : {"Path = .", "Path = sub/.", "~\n", "#\n", ".swp\n",
                                 "Thumbs.db"})
      EXPECT_EQ(listed.find(leftover), std::string::npos) << leftover << "\n" << listed;
  }
}

TEST(ReleaseTool, BrokenCatalogueIsNotPackaged) {
  if (std::system("command -v 7za >/dev/null 2>&1") != 0) GTEST_SKIP() << "7za missing";
  Fixture fx;
  OsEntry os = SampleOs("Tiny", "1.0");
  os.download = "http://127.0.0.1:1/tiny.iso -O ../quillhaven";
  os.filename = "tiny.iso";
  // Each of the program's refusals breaks the catalogue: a file name and a list link too.
  OsEntry device = SampleOs("Aux", "1.0");
  device.filename = "aux.tar.gz";
  device.download = "http://127.0.0.1:1/aux.tar.gz";
  OsEntry list = SampleOs("Listed", "1.0");
  list.checksums = "--config=images\\cfg.img";
  fx.Write("catalogue\\db.ini", DbIni("5", {"Linux"}) +
                                    "\r\n[hddmanager]\r\ndownload=http://127.0.0.1:1/pm.iso\r\n"
                                    "filename=../pm.iso\r\n");
  fx.Write("catalogue\\Linux.ini", CategoryIni({os, device, list}));
  const std::string log = fx.Path("..\\release.log");

  const int code = RunRedirected(
      "bash " + (SourceDir() / "scripts" / "make-release").string() +
          " --prg 1:a --db 1:a --tools 1:a --updater 1:a --build " + BuildDir().string() +
          " --out " + fx.Path("..\\release") + " --db-dir " + fx.Path("catalogue") +
          " --unsigned",
      "", "", log, log);

  EXPECT_NE(code, 0);
  const std::string said = fx.Read("..\\release.log");
  for (const char* line :
       {"Linux.ini [1] Tiny 1.0: BROKEN (bad download link: a blank, tab, double quote or "
        "control character cannot be passed to wget)",
        "Linux.ini [2] Aux 1.0: BROKEN (bad file name: aux is a device of Windows, not a file)",
        "Linux.ini [3] Listed 1.0: BROKEN (bad checksum list link: it does not begin with "
        "http://, https:// or ftp://)",
        "db.ini [hddmanager] Partition manager: BROKEN (bad file name: none of \\ / : * ? \" < > | can be part "
        "of an image's name)"})
    EXPECT_NE(said.find(line), std::string::npos) << line << "\n" << said;
  EXPECT_NE(said.find("is broken (catalogue-doctor --offline); nothing was packaged"),
            std::string::npos)
      << said;
  EXPECT_FALSE(fs::exists(fx.FsPath("..\\release")));
}

#endif  // _WIN32
