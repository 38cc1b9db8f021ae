// The start-up self-check: clean-ups, the tool checks with their status lines and pause,
// the hand-over to a waiting updater, and the bootstrap of a missing updater.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "c_api/screen.h"
#include "main_func/addresses.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/screens.h"
#include "support/transcript.h"
#include "support/updater_fixture.h"

namespace {

const std::vector<std::string> Categories = {"Linux"};

// Banner and catalogue report: what comes before the self-check.
std::string Start() { return Banner() + DbReport("1", Categories); }

// An installation with a catalogue; the tools are up to each case.
void Catalogue(const Fixture& fx) { fx.Write("db\\db.ini", DbIni("1", Categories)); }

// The self-check's lines from "Checking files ..." on, for the given endings.
std::string CheckLines(const std::string& updater, const std::string& qemu,
                       const std::string& kqemu, const std::string& wget) {
  return "Checking files ...\n"
         "  Updater ..." + updater + "\n"
         "  Qemu ..." + qemu + "\n"
         "  KQemu ..." + kqemu + "\n"
         "  WGet ..." + wget + "\n";
}

std::string BootstrapOk() {
  return " [ ERROR ] - updater is outdated or missing.\n"
         "    Downloading new one ..........\n"
         " [ OK ]";
}

// The version file arrived (packageTried) and named a package that did not, or nothing arrived.
std::string BootstrapFailed(bool packageTried = true) {
  return std::string(" [ ERROR ] - updater is outdated or missing.\n"
                     "    Downloading new one ") +
         (packageTried ? ".......\n    The package did not arrive whole; the updater was not "
                         "installed.\n"
                       : "..........\n") +
         " [ FAILED ] => Please download new Quillhaven from " + HomepageText;
}

// The fake 7-Zip's actions that "unpack" the updater package: the new updater goes into the
// staging folder, from where the update journal moves it into place.
std::string UnpackUpdater(const std::string& server) {
  return "mkdir updater\\temp\\stage\n"
         "copy " + server + "payload updater\\temp\\stage\\updater.exe\n";
}

// 7-Zip's calls for the updater package N.zip: the test of the archive, then the unpack.
std::vector<std::string> UnpackCalls(const std::string& n) {
  return {ToolCall("7z/7za.exe", "t temp\\" + n + ".zip"),
          ToolCall("7z/7za.exe", "x -bd -oupdater\\temp\\stage\\ -y temp\\" + n + ".zip")};
}

// "0\n9\n": without a pause the menu takes 0 and the program ends; a pause would take the
// 0 and the menu would then refuse 9, which the transcript would show.
const char* const NoPauseInput = "0\n9\n";
// "9\n0\n": the pause takes the 9, the menu then takes 0; without a pause 9 is refused.
const char* const PauseInput = "9\n0\n";

TEST(CheckFiles, CompleteInstallationReportsFourOkLinesWithoutPause) {
  Fixture fx;
  Catalogue(fx);

  RunResult run = fx.Run(NoPauseInput);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Start() + SelfCheckAllPresent() + MainScreen(Categories), run.out);
  EXPECT_TRUE(fx.ToolLog().empty());
  EXPECT_TRUE(fx.Exists("images"));
}

TEST(CheckFiles, ConfiguredImagesFolderIsCreatedOneLevelDeep) {
  Fixture fx;
  Catalogue(fx);
  fx.Write("options.ini", IniText({"[paths]", "images=pics"}));

  RunResult run = fx.Run(NoPauseInput);

  EXPECT_TRANSCRIPT(Start() + SelfCheckAllPresent() + MainScreen(Categories), run.out);
  EXPECT_TRUE(fx.Exists("pics"));
  EXPECT_FALSE(fx.Exists("images"));

  // A folder below a missing one is not made: only one level is created.
  Fixture deep;
  Catalogue(deep);
  deep.Write("options.ini", IniText({"[paths]", "images=a\\b"}));
  deep.Run(NoPauseInput);
  EXPECT_FALSE(deep.Exists("a"));
}

TEST(CheckFiles, MissingQemuIsAnErrorAndWaitsForEnter) {
  Fixture fx;
  Catalogue(fx);
  fx.Remove("qemu");

  RunResult run = fx.Run(PauseInput);

  EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(" [ OK ]", " [ ERROR ]", " [ OK ]", " [ OK ]") +
                        MainScreen(Categories),
                    run.out);
}

// 7-Zip has a line of its own only when it is missing, after the WGet line.
TEST(CheckFiles, MissingWgetOrSevenZipIsAnErrorAndWaitsForEnter) {
  Fixture fx;
  Catalogue(fx);
  fx.Remove("wget");

  RunResult run = fx.Run(PauseInput);

  EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(" [ OK ]", " [ OK ]", " [ OK ]", " [ ERROR ]") +
                        MainScreen(Categories),
                    run.out);

  Fixture no7z;
  Catalogue(no7z);
  no7z.Remove("7z\\7za.exe");
  EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(" [ OK ]", " [ OK ]", " [ OK ]", " [ OK ]") +
                        "  7-Zip ... [ ERROR ]\n" + MainScreen(Categories),
                    no7z.Run(PauseInput).out);
}

// Every host these tests run on is 64-bit (a 64-bit build).
TEST(CheckFiles, MissingKqemuOnA64BitHostOnlyWarns) {
  Fixture fx;
  Catalogue(fx);
  fx.Remove("kqemu");

  RunResult run = fx.Run(NoPauseInput);

  EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(" [ OK ]", " [ OK ]", " [ WARN! ]", " [ OK ]") +
                        MainScreen(Categories),
                    run.out);
}

TEST(CheckFiles, FolderInPlaceOfAToolDoesNotCount) {
  Fixture fx;
  Catalogue(fx);
  fx.Remove("qemu");
  fx.MakeDir("qemu\\qemu.exe");

  RunResult run = fx.Run(PauseInput);

  EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(" [ OK ]", " [ ERROR ]", " [ OK ]", " [ OK ]") +
                        MainScreen(Categories),
                    run.out);
}

TEST(CheckFiles, LeftoverDownloadFoldersAreRemovedWithTheirContents) {
  Fixture fx;
  Catalogue(fx);
  fx.Write("temp\\partial.iso", "half");
  fx.Write("temp\\deeper\\nested\\file.bin", "x");
  fx.Write("updater\\temp\\upt.zip", "old package");
  fx.Write("updater\\temp\\sub\\ver.ini", "[version]\r\naver=9\r\n");
  // Read-only leftovers go as well, on every platform.
  const auto noWrite = std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                       std::filesystem::perms::others_write;
  fx.Write("temp\\locked\\part.iso", "read-only");
  for (const char* path : {"temp\\locked\\part.iso", "temp\\locked", "updater\\temp\\upt.zip"})
    std::filesystem::permissions(fx.FsPath(path), noWrite, std::filesystem::perm_options::remove);

  RunResult run = fx.Run(NoPauseInput);

  EXPECT_TRANSCRIPT(Start() + SelfCheckAllPresent() + MainScreen(Categories), run.out);
  EXPECT_FALSE(fx.Exists("temp"));
  EXPECT_FALSE(fx.Exists("updater\\temp"));
  EXPECT_TRUE(fx.Exists("updater\\updater.exe"));
}

// The clean-up never empties a folder that is, or holds, a folder the installation lives
// on, nor one that leads elsewhere through a link; it says so once and goes on.
TEST(CheckFiles, CleanUpKeepsFoldersTheInstallationLivesOn) {
  struct Case {
    std::string paths, kept, why;
  };
  const std::vector<Case> cases = {
      {"images=temp", "temp\\my.iso", "the images folder"},
      {"images=temp\\iso", "temp\\iso\\my.iso", "the images folder"},
      {"db=temp\\db", "temp\\db\\Linux.ini", "the database folder"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.paths);
    Fixture fx;
    fx.Write("options.ini", IniText({"[paths]", c.paths}));
    const std::string db = c.paths.rfind("db=", 0) == 0 ? c.paths.substr(3) : "db";
    fx.Write(db + "\\db.ini", DbIni("1", Categories));
    fx.Write(c.kept, "the user's");

    RunResult run = fx.Run(NoPauseInput);

    EXPECT_TRANSCRIPT(Start() + "\n " + fx.Path("temp") + " was not cleaned up: it is, or holds, " +
                          c.why + ".\n" + SelfCheckAllPresent().substr(1) + MainScreen(Categories),
                      run.out);
    EXPECT_EQ(fx.Read(c.kept), "the user's");
  }
#ifndef _WIN32
  Fixture fx;
  Catalogue(fx);
  fx.Write("..\\elsewhere\\keep.txt", "not the program's");
  std::filesystem::create_directory_symlink(fx.FsPath("..\\elsewhere"), fx.FsPath("temp"));

  RunResult run = fx.Run(NoPauseInput);

  EXPECT_TRANSCRIPT(Start() + "\n " + fx.Path("temp") +
                        " was not cleaned up: it is a link to another folder.\n" +
                        SelfCheckAllPresent().substr(1) + MainScreen(Categories),
                    run.out);
  EXPECT_EQ(fx.Read("..\\elsewhere\\keep.txt"), "not the program's");
#endif
}

TEST(CheckFiles, LooseUpdaterHandsOverToTheInstalledOne) {
  Fixture fx;
  Catalogue(fx);
  // The installed updater notes where it was started.
  fx.InstallTool("updater\\updater.exe", "append started_here.txt updater\n");
  fx.Write("updater.exe", "loose updater");

  // Any accepted answer ends the program: 1 would otherwise boot the virtual disk.
  RunResult run = fx.Run("1\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Start() + "\n" + Header("UPDATER") + "\n Starting updater ... [ OK ]\n" +
                        SelfCheckAllPresent().substr(1) +
                        MainScreen(Categories),
                    run.out);
  EXPECT_FALSE(fx.Exists("updater.exe"));
  ASSERT_TRUE(WaitForFile(fx, "updater\\started_here.txt"));
  EXPECT_EQ(fx.ToolLog(), std::vector<std::string>{ToolCall("updater/updater.exe", "")});
}

TEST(CheckFiles, LooseUpdaterAloneStaysAndStartsNothing) {
  Fixture fx;
  Catalogue(fx);
  fx.Remove("updater");
  fx.Write("updater.exe", "loose updater");
  UseFakeServer(fx);
  fx.InstallTool("7z\\7za.exe", UnpackUpdater(FakeServer(fx)));
  ServerFile(fx, "payload", "new updater");
  ServerFile(fx, "upt/up/1.zip", "package 1");

  RunResult run = fx.Run(NoPauseInput);

  // Without an installed updater there is no hand-over; the bootstrap fetches one.
  EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(BootstrapOk(), " [ OK ]", " [ OK ]", " [ OK ]") +
                        MainScreen(Categories),
                    run.out);
  EXPECT_EQ(fx.Read("updater.exe"), "loose updater");
}

TEST(CheckFiles, MissingUpdaterIsFetchedAndUnpacked) {
  Fixture fx;
  Catalogue(fx);
  fx.Remove("updater");
  UseFakeServer(fx);
  const std::string server = FakeServer(fx);
  ServerFile(fx, "ver.ini", IniText({"[version]", "aver=7", "[updater]", "aver=4",
                                     "version=1.3.0"}));
  ServerFile(fx, "upt/up/4.zip", "package 4");
  ServerFile(fx, "upt/up/1.zip", "package 1");
  ServerFile(fx, "upt/up/upt.exe", "new helper");
  ServerFile(fx, "payload", "new updater");
  // The fake 7-Zip "unpacks" by putting the updater in place; it also leaves an extra file
  // in the download folder, which must not keep the folder alive.
  fx.InstallTool("7z\\7za.exe", UnpackUpdater(server) +
                                "mkdir temp\\leftover\n"
                                "append temp\\leftover\\note.txt written by the tool\n");

  RunResult run = fx.Run(NoPauseInput);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(BootstrapOk(), " [ OK ]", " [ OK ]", " [ OK ]") +
                        MainScreen(Categories),
                    run.out);
  EXPECT_EQ(fx.ToolLog(),
            (std::vector<std::string>{
                ToolCall("wget/wget.exe", "-q -P temp\\ " + server + "ver.ini"),
                ToolCall("wget/wget.exe", "-q -P temp\\ " + server + "upt/up/4.zip"),
                UnpackCalls("4")[0],
                UnpackCalls("4")[1],
                ToolCall("wget/wget.exe", "-q -P updater\\ " + server + "upt/up/upt.exe"),
            }));
  EXPECT_EQ(fx.Read("updater\\updater.exe"), "new updater");
  EXPECT_EQ(fx.Read("updater\\upt.exe"), "new helper");
  EXPECT_FALSE(fx.Exists("temp"));
}

TEST(CheckFiles, BootstrapReplacesAnOlderHelperInsteadOfSavingASecondCopy) {
  Fixture fx;
  Catalogue(fx);
  fx.Remove("updater\\updater.exe");
  fx.Write("updater\\upt.exe", "old helper");
  UseFakeServer(fx);
  ServerFile(fx, "ver.ini", IniText({"[updater]", "aver=2"}));
  ServerFile(fx, "upt/up/2.zip", "package 2");
  ServerFile(fx, "upt/up/upt.exe", "new helper");
  ServerFile(fx, "payload", "new updater");
  fx.InstallTool("7z\\7za.exe", UnpackUpdater(FakeServer(fx)));

  RunResult run = fx.Run(NoPauseInput);

  EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(BootstrapOk(), " [ OK ]", " [ OK ]", " [ OK ]") +
                        MainScreen(Categories),
                    run.out);
  EXPECT_EQ(fx.Read("updater\\upt.exe"), "new helper");
  EXPECT_FALSE(fx.Exists("updater\\upt.exe.1"));
}

// The server's [updater] sha256 and uptsha256 are checked: an updater package with another
// hash is not unpacked, and a helper with another hash gives way to the one there was. A
// package wget could not write (its code 3, a full disk) is named as such, not as damaged.
TEST(CheckFiles, BootstrapRefusesFilesWithAnotherHash) {
  const std::string other(64, '0');
  const std::string package4 = "f33a0046910032c7573b10c257a8477e73c12fe7e02d2af5ede3ae0f8006dfa1";
  for (const std::string kind : {"package", "helper", "disk full"}) {
    SCOPED_TRACE(kind);
    const bool packageDamaged = kind != "helper";
    Fixture fx;
    Catalogue(fx);
    fx.Remove("updater\\updater.exe");
    fx.Write("updater\\upt.exe", "old helper");
    UseFakeServer(fx);
    if (kind == "disk full") fx.InstallTool("wget\\wget.exe", "copy $ARG4 $ARG3$LAST\nexit 3\n");
    const std::string server = FakeServer(fx);
    ServerFile(fx, "ver.ini", IniText({"[updater]", "aver=4",
                                       "sha256=" + (packageDamaged ? other : package4),
                                       "uptsha256=" + other}));
    ServerFile(fx, "upt/up/4.zip", "package 4");
    ServerFile(fx, "upt/up/upt.exe", "new helper");
    ServerFile(fx, "payload", "new updater");
    fx.InstallTool("7z\\7za.exe", UnpackUpdater(server));

    RunResult run = fx.Run(packageDamaged ? PauseInput : NoPauseInput);

    std::vector<std::string> calls = {
        ToolCall("wget/wget.exe", "-q -P temp\\ " + server + "ver.ini"),
        ToolCall("wget/wget.exe", "-q -P temp\\ " + server + "upt/up/4.zip")};
    std::string updaterLine =
        " [ ERROR ] - updater is outdated or missing.\n    Downloading new one .......";
    if (packageDamaged) {
      updaterLine += kind == "disk full"
                         ? "\n    The updater package could not be downloaded: the file could not "
                           "be written (disk full or not writable); it was not installed."
                         : "\n    The updater package is damaged (SHA-256 does not match); it was "
                           "not installed.";
      updaterLine += "\n [ FAILED ] => Please download new Quillhaven from " +
                     std::string(HomepageText);
      EXPECT_FALSE(fx.Exists("updater\\updater.exe"));
    } else {
      updaterLine += "...\n    The self-update program is damaged (SHA-256 does not match); it "
                     "was not installed.\n [ OK ]";
      for (const std::string& call : UnpackCalls("4")) calls.push_back(call);
      calls.push_back(ToolCall("wget/wget.exe", "-q -P updater\\ " + server + "upt/up/upt.exe"));
      EXPECT_EQ(fx.Read("updater\\updater.exe"), "new updater");
    }
    EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(updaterLine, " [ OK ]", " [ OK ]", " [ OK ]") +
                          MainScreen(Categories),
                      run.out);
    EXPECT_EQ(fx.ToolLog(), calls);
    EXPECT_EQ(fx.Read("updater\\upt.exe"), "old helper");
    EXPECT_FALSE(fx.Exists("temp"));
  }
}

// A version file above its 1 MiB is cut off and counts as not arrived.
TEST(CheckFiles, UnreachableServerFallsBackToPackageOneAndFails) {
  for (bool oversized : {false, true}) {
    SCOPED_TRACE(oversized ? "a version file of 2 MiB" : "nothing");
    Fixture fx;
    Catalogue(fx);
    fx.Remove("updater\\updater.exe");
    fx.Write("updater\\upt.exe", "old helper");
    UseFakeServer(fx);  // an empty server: every fetch finds nothing
    const std::string server = FakeServer(fx);
    if (oversized)
      ServerFile(fx, "ver.ini", "[updater]\r\naver=4\r\n" + std::string(2 << 20, ';'));

    RunResult run = fx.Run(PauseInput);

    EXPECT_TRANSCRIPT(Start() + "\n" + CheckLines(BootstrapFailed(), " [ OK ]", " [ OK ]", " [ OK ]") +
                          MainScreen(Categories),
                      run.out);
    EXPECT_EQ(fx.ToolLog(),
              (std::vector<std::string>{
                  ToolCall("wget/wget.exe", "-q -P temp\\ " + server + "ver.ini"),
                  ToolCall("wget/wget.exe", "-q -P temp\\ " + server + "upt/up/1.zip"),
              }));
    // A failed fetch keeps the helper the installation had.
    EXPECT_EQ(fx.Read("updater\\upt.exe"), "old helper");
    EXPECT_FALSE(fx.Exists("temp"));
  }
}

TEST(CheckFiles, BootstrapWithoutWgetFailsAndReportsBoth) {
  Fixture fx;
  Catalogue(fx);
  fx.Remove("updater");
  fx.Remove("wget");

  RunResult run = fx.Run(PauseInput);

  EXPECT_TRANSCRIPT(Start() + "\n" +
                        CheckLines(BootstrapFailed(false), " [ OK ]", " [ OK ]", " [ ERROR ]") +
                        MainScreen(Categories),
                    run.out);
  EXPECT_TRUE(fx.Exists("updater"));
  EXPECT_FALSE(fx.Exists("temp"));
}

TEST(CheckFiles, BuiltInServerIsUsedWithoutAnOptionsEntry) {
  Fixture fx;
  Catalogue(fx);
  fx.Remove("updater\\updater.exe");

  fx.Run(PauseInput);

  // Its version file is signed: the signature is fetched too, and since neither arrived,
  // no package is fetched.
  const std::string server = UpdateServerUrl;
  EXPECT_EQ(fx.ToolLog(),
            (std::vector<std::string>{
                ToolCall("wget/wget.exe", "-q -P temp\\ " + server + "ver.ini"),
                ToolCall("wget/wget.exe", "-q -P temp\\ " + server + "ver.ini.sig")}));
}

}  // namespace
