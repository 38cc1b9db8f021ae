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
          " --out " + fx.Path("..\\release") + " --db-dir " + fx.Path("catalogue"),
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
  EXPECT_FALSE(fs::exists(fx.FsPath("..\\release\\ver.ini")));
  EXPECT_FALSE(fs::exists(fx.FsPath("..\\release\\upt")));
}

#endif  // _WIN32
