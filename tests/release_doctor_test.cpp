// The release tool checks the catalogue with the doctor's offline checks before it packages
// anything (Linux only: it runs scripts/make-release with bash and 7za).
#ifndef _WIN32

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "main_func/files.h"
#include "main_func/process.h"
#include "support/catalogue.h"
#include "support/fixture.h"

namespace fs = std::filesystem;

namespace {

}  // namespace

TEST(ReleaseTool, BrokenCatalogueIsNotPackaged) {
  if (std::system("command -v 7za >/dev/null 2>&1") != 0) GTEST_SKIP() << "7za missing";
  Fixture fx;
  OsEntry os = SampleOs("Tiny", "1.0");
  os.download = "http://127.0.0.1:1/tiny.iso -O ../quillhaven";
  os.filename = "tiny.iso";
  fx.Write("catalogue\\db.ini", DbIni("5", {"Linux"}));
  fx.Write("catalogue\\Linux.ini", CategoryIni({os}));
  const std::string log = fx.Path("..\\release.log");

  const int code = RunRedirected(
      "bash " + (SourceDir() / "scripts" / "make-release").string() +
          " --prg 1:a --db 1:a --tools 1:a --updater 1:a --build " + BuildDir().string() +
          " --out " + fx.Path("..\\release") + " --db-dir " + fx.Path("catalogue"),
      "", "", log, log);

  EXPECT_NE(code, 0);
  const std::string said = fx.Read("..\\release.log");
  EXPECT_NE(said.find("Linux.ini [1] Tiny 1.0: BROKEN (download is no plain http, https or "
                      "ftp link)"),
            std::string::npos)
      << said;
  EXPECT_NE(said.find("is broken (catalogue-doctor --offline); nothing was packaged"),
            std::string::npos)
      << said;
  EXPECT_FALSE(fs::exists(fx.FsPath("..\\release\\ver.ini")));
  EXPECT_FALSE(fs::exists(fx.FsPath("..\\release\\upt")));
}

#endif  // _WIN32
