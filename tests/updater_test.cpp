// The updater program: its screen, the command lines it runs for each package, the order of
// the packages, its housekeeping in "updater\temp", and the hand-over at its end, to the main
// program or to the self-update helper (which then starts the updater again).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/transcript.h"
#include "support/updater_fixture.h"

namespace {

std::string VersionIni(int aver) { return IniText({"[version]", "aver=" + std::to_string(aver)}); }

// The server's version file; an empty text leaves that key out, a number of 0 the section.
struct ServerPackage {
  int aver = 0;
  std::string version;
  std::string sha256{};
};
std::string ServerVerIni(const ServerPackage& program, const ServerPackage& db,
                         const ServerPackage& updater, const ServerPackage& tools) {
  std::vector<std::string> lines;
  auto add = [&lines](const std::string& section, const ServerPackage& p) {
    if (p.aver == 0) return;
    lines.push_back("[" + section + "]");
    lines.push_back("aver=" + std::to_string(p.aver));
    if (!p.version.empty()) lines.push_back("version=" + p.version);
    if (!p.sha256.empty()) lines.push_back("sha256=" + p.sha256);
  };
  add("version", program);
  add("db", db);
  add("updater", updater);
  add("3rdapps", tools);
  return IniText(lines);
}

// The updater installed beside a fake main program, with the fake server named in
// options.ini and every local version file at number 2.
void Installation(const Fixture& fx, const std::string& extraOptions = "") {
  InstallUpdater(fx, false);
  InstallFakeMainProgram(fx);
  UseFakeServer(fx, extraOptions);
  fx.Write("ver.ini", VersionIni(2));
  fx.Write("db\\db.ini", IniText({"[version]", "version=2026.01", "aver=2", "[categories]",
                                  "count=0"}));
  fx.Write("updater\\ver.ini", VersionIni(2));
  fx.Write("updater\\3ver.ini", VersionIni(2));
}

std::string Opening() {
  return "Quillhaven updater v 1.2.2\n"
         "by the Quillhaven team - quillhaven.example.org/programs\n"
         "\n"
         "Checking for new updates ...\n"
         "\n";
}

const char* const NoProgram = " > No need to update program ... \n\n";
const char* const NoDatabase = " > No need to update database ... \n";
const char* const NoUpdater = " > No need to update updater ... \n\nPress <Enter> to continue";

std::string NothingNewer() { return Opening() + NoProgram + NoDatabase + "\n" + NoUpdater; }

std::string Unreachable(const std::string& reason) {
  return Opening() + " > Unable to reach the update server (" + reason +
         "). Nothing was updated. \n\nPress <Enter> to continue";
}

std::string Fetch(const Fixture& fx, const std::string& path) {
  return ToolCall("wget/wget.exe", "-q -P temp\\ " + FakeServer(fx) + path);
}

std::string SevenZip(const std::string& args) { return ToolCall("7z/7za.exe", args); }

// The files of an installation that a run must leave as they were: everything but the
// logs and markers of the fakes and the updater's download folder.
std::map<std::string, std::string> Installed(const Fixture& fx) {
  std::map<std::string, std::string> files = TreeSnapshot(fx);
  for (auto it = files.begin(); it != files.end();) {
    const std::string& name = it->first;
    if (name == "tool_log.txt" || name == "main_started.txt" || name.rfind("updater/temp/", 0) == 0)
      it = files.erase(it);
    else
      ++it;
  }
  return files;
}

TEST(Updater, NothingNewerEndsWithEnterAndStartsTheMainProgram) {
  Fixture fx;
  Installation(fx);
  ServerFile(fx, "ver.ini", ServerVerIni({2, "1.4.1"}, {2, "2026.01"}, {2, "1.2.2"}, {1, "1"}));
  const auto before = Installed(fx);

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(NothingNewer(), run.out);
  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
  EXPECT_EQ(MainProgramMarker(fx), "started \n");
  EXPECT_EQ(fx.ToolLog(), std::vector<std::string>{Fetch(fx, "ver.ini")});
  // The downloaded version file is gone; the download folder stays.
  EXPECT_TRUE(fx.Exists("updater\\temp"));
  EXPECT_FALSE(fx.Exists("updater\\temp\\ver.ini"));
  EXPECT_EQ(Installed(fx), before);

  // Started from the installation folder, it works in its own all the same.
  run = fx.RunProgram(UpdaterFile(), "\n", fx.FsPath(""));
  EXPECT_TRANSCRIPT(NothingNewer(), run.out);
  EXPECT_FALSE(fx.Exists("temp"));
  EXPECT_EQ(Installed(fx), before);
}

TEST(Updater, UnreachableServerMeansNoUpdateAndEveryFileUnchanged) {
  Fixture fx;
  Installation(fx);
  // Local numbers of 1 and none at all: the defaults on both sides are 1.
  fx.Write("ver.ini", VersionIni(1));
  fx.Remove("updater\\3ver.ini");
  const auto before = Installed(fx);

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Unreachable("no version file arrived"), run.out);
  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
  EXPECT_EQ(fx.ToolLog(), std::vector<std::string>{Fetch(fx, "ver.ini")});
  EXPECT_EQ(Installed(fx), before);

  // wget's failure, and version files that hold nothing to go by.
  fx.InstallTool("wget\\wget.exe", "exit 4\n");
  run = RunUpdater(fx, "\n");
  EXPECT_TRANSCRIPT(Unreachable("no network, or the server was not found or did not answer"), run.out);
  UseFakeServer(fx);
  ServerFile(fx, "ver.ini", "");
  EXPECT_TRANSCRIPT(Unreachable("the version file is empty"), RunUpdater(fx, "\n").out);
  ServerFile(fx, "ver.ini", "<html>Not here</html>\r\n");
  EXPECT_TRANSCRIPT(Unreachable("the version file has no [version] section"),
                    RunUpdater(fx, "\n").out);
  EXPECT_EQ(Installed(fx), before);
}

TEST(Updater, StaleVersionFileInTheDownloadFolderIsNotRead) {
  Fixture fx;
  Installation(fx);
  // Left by an interrupted run; the server is now unreachable.
  fx.Write("updater\\temp\\ver.ini", ServerVerIni({9, "9.9"}, {9, "9"}, {9, "9"}, {9, "9"}));
  fx.Write("updater\\temp\\keep.txt", "not ours");

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Unreachable("no version file arrived"), run.out);
  EXPECT_EQ(fx.ToolLog(), std::vector<std::string>{Fetch(fx, "ver.ini")});
  // The folder is used as it is, not emptied.
  EXPECT_EQ(fx.Read("updater\\temp\\keep.txt"), "not ours");
}

TEST(Updater, NewerProgramIsFetchedAndUnpackedIntoTheMainDirectory) {
  Fixture fx;
  Installation(fx);
  fx.Remove("ver.ini");  // counts as number 1
  ServerFile(fx, "ver.ini", ServerVerIni({3, "1.5.0"}, {2, "x"}, {2, "x"}, {2, "x"}));
  ServerFile(fx, "upt/prg/3.zip", "program 3");

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Opening() + " > Downloading new program version 1.5.0 ...\n\n"
                               " > Unpacking ... \n\n\n" +
                        NoDatabase + "\n" + NoUpdater,
                    run.out);
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/prg/3.zip"),
                              SevenZip("x -bd -o..\\ -Y temp\\3.zip"),
                          }));
  EXPECT_FALSE(fx.Exists("updater\\temp\\3.zip"));
  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
}

TEST(Updater, MissingServerVersionTextShowsAsOnePointZero) {
  Fixture fx;
  Installation(fx);
  ServerFile(fx, "ver.ini", ServerVerIni({5, ""}, {2, "x"}, {2, "x"}, {2, "x"}));

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Opening() + " > Downloading new program version 1.0 ...\n\n"
                               " > Unpacking ... \n\n\n" +
                        NoDatabase + "\n" + NoUpdater,
                    run.out);
  EXPECT_EQ(fx.ToolLog()[1], Fetch(fx, "upt/prg/5.zip"));
}

TEST(Updater, DatabaseGoesIntoTheConfiguredFolder) {
  Fixture fx;
  Installation(fx, IniText({"[paths]", "db=..\\data\\db"}));
  fx.Write("..\\data\\db\\db.ini", VersionIni(4));
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {5, "2026.12"}, {2, "x"}, {2, "x"}));

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Opening() + NoProgram + " > Downloading new database version 2026.12 ...\n\n"
                                           " > Unpacking ... \n\n\n" +
                        NoUpdater,
                    run.out);
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/db/5.zip"),
                              SevenZip("x -bd -o..\\..\\data\\db\\ -y temp\\5.zip"),
                          }));
}

TEST(Updater, EqualDatabaseNumbersMeanNoUpdate) {
  Fixture fx;
  Installation(fx, IniText({"[paths]", "db=..\\data\\db"}));
  fx.Write("..\\data\\db\\db.ini", VersionIni(5));
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {5, "x"}, {2, "x"}, {2, "x"}));

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(NothingNewer(), run.out);
}

// The fake 7-Zip "unpacks" the tools package named archive by making a new wget, which
// also notes its fetches in new_wget.txt; other archives bring nothing.
std::string UnpackNewWget(const Fixture& fx, const std::string& archive) {
  const std::string from = FakeServer(fx) + "unpack/$LAST/";
  ServerFile(fx, "unpack/" + archive + "/wget.exe.act",
             "copy $ARG4 $ARG3$LAST\nappend ..\\new_wget.txt $LAST\n");
  std::filesystem::copy_file(BuiltProgram("fake_tool"),
                             fx.FsPath("..\\srv\\unpack\\" + archive + "\\wget.exe"));
  return "mkdir ..\\wget\n"
         "copy " + from + "wget.exe ..\\wget\\wget.exe\n"
         "copy " + from + "wget.exe.act ..\\wget\\wget.exe.act\n";
}

std::string ToolsUpdated(const std::string& version) {
  return " > No need to update database ... \n"
         "\n"
         " > Downloading new 3rd party apps. Package version " + version + " ...\n"
         "\n"
         " > Unpacking ... \n"
         "\n";
}

TEST(Updater, OnlyToolsNewerReplacesTheToolFolders) {
  Fixture fx;
  Installation(fx);
  fx.Write("updater\\3ver.ini", VersionIni(1));
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {2, "x"}, {2, "2.0"}));
  ServerFile(fx, "upt/3/2.zip", "tools 2");
  fx.InstallTool("7z\\7za.exe", UnpackNewWget(fx, "2.zip"));

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Opening() + NoProgram + ToolsUpdated("2.0") + "\n" + NoUpdater, run.out);
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/3/2.zip"),
                              SevenZip("t temp\\2.zip"),
                              SevenZip("x -bd -o..\\ -y temp\\2.zip"),
                          }));
  // The old folders went before the unpack; the package brought only wget.
  EXPECT_FALSE(fx.Exists("qemu"));
  EXPECT_FALSE(fx.Exists("kqemu"));
  EXPECT_NE(fx.Read("wget\\wget.exe.act").find("new_wget.txt"), std::string::npos);
  EXPECT_FALSE(fx.Exists("updater\\temp\\2.zip"));
}

TEST(Updater, ToolsPackageThatDidNotArriveLeavesTheToolsInPlace) {
  Fixture fx;
  Installation(fx);
  fx.Write("updater\\3ver.ini", VersionIni(1));
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {2, "x"}, {2, "2.0"}));
  const auto before = Installed(fx);

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Opening() + NoProgram +
                        " > No need to update database ... \n\n"
                        " > Downloading new 3rd party apps. Package version 2.0 ...\n\n"
                        " > Unpacking ... \n"
                        " > The package did not arrive whole; 3rd party apps were not updated. \n"
                        "\n\n" +
                        NoUpdater,
                    run.out);
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{Fetch(fx, "ver.ini"),
                                                    Fetch(fx, "upt/3/2.zip")}));
  EXPECT_EQ(Installed(fx), before);
}

TEST(Updater, DamagedToolsPackageLeavesTheToolsInPlace) {
  Fixture fx;
  Installation(fx);
  fx.Write("updater\\3ver.ini", VersionIni(1));
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {2, "x"}, {2, "2.0"}));
  ServerFile(fx, "upt/3/2.zip", "truncated");
  fx.InstallTool("7z\\7za.exe", "exit 2\n");
  const auto before = Installed(fx);

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_NE(run.out.find(" > The package did not arrive whole; 3rd party apps were not updated. \n"),
            std::string::npos);
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{Fetch(fx, "ver.ini"),
                                                    Fetch(fx, "upt/3/2.zip"),
                                                    SevenZip("t temp\\2.zip")}));
  EXPECT_EQ(Installed(fx), before);
  EXPECT_FALSE(fx.Exists("updater\\temp\\2.zip"));
}

TEST(Updater, ServerWithoutToolsSectionLeavesTheToolsAlone) {
  Fixture fx;
  Installation(fx);
  fx.Write("updater\\3ver.ini", VersionIni(1));
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {2, "x"}, {0, ""}));

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(NothingNewer(), run.out);
}

TEST(Updater, SeveralNewerPackagesInOrderAndHandOverToTheHelper) {
  Fixture fx;
  Installation(fx, IniText({"[paths]", "db=data"}));
  fx.Write("data\\db.ini", VersionIni(2));
  fx.InstallTool("updater\\upt.exe", "append helper_started.txt helper\n");
  ServerFile(fx, "ver.ini",
             ServerVerIni({3, "1.5.0"}, {4, "2026.12"}, {6, "1.3.0"}, {5, "3.0"}));
  ServerFile(fx, "upt/prg/3.zip", "package prg");
  ServerFile(fx, "upt/db/4.zip", "package db");
  ServerFile(fx, "upt/3/5.zip", "package 3");
  ServerFile(fx, "upt/up/6.zip", "package up");
  fx.InstallTool("7z\\7za.exe", UnpackNewWget(fx, "5.zip"));
  fx.Write("updater\\temp\\upt.zip", "left from an earlier run");

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Opening() +
                        " > Downloading new program version 1.5.0 ...\n\n > Unpacking ... \n\n\n"
                        " > Downloading new database version 2026.12 ...\n\n"
                        " > Unpacking ... \n\n" +
                        "\n > Downloading new 3rd party apps. Package version 3.0 ...\n\n"
                        " > Unpacking ... \n\n\n"
                        " > Downloading new updater version 1.3.0 ...\n\n"
                        " > Unpacking ... \n",
                    run.out);
  ASSERT_TRUE(WaitForFile(fx, "updater\\helper_started.txt"));
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/prg/3.zip"),
                              SevenZip("x -bd -o..\\ -Y temp\\3.zip"),
                              Fetch(fx, "upt/db/4.zip"),
                              SevenZip("x -bd -o..\\data\\ -y temp\\4.zip"),
                              Fetch(fx, "upt/3/5.zip"),
                              SevenZip("t temp\\5.zip"),
                              SevenZip("x -bd -o..\\ -y temp\\5.zip"),
                              Fetch(fx, "upt/up/6.zip"),
                              ToolCall("updater/upt.exe", ""),
                          }));
  // The updater package was fetched with the wget that the tools package brought.
  EXPECT_EQ(fx.Read("new_wget.txt"), "6.zip\n");
  // It waits for the helper in place of the older package.
  EXPECT_EQ(fx.Read("updater\\temp\\upt.zip"), "package up");
  for (const char* zip : {"3.zip", "4.zip", "5.zip", "6.zip"})
    EXPECT_FALSE(fx.Exists(std::string("updater\\temp\\") + zip)) << zip;
  EXPECT_EQ(MainProgramMarker(fx), "");
}

TEST(Updater, FailedUpdaterDownloadLeavesNoOlderPackageForTheHelper) {
  Fixture fx;
  Installation(fx);
  fx.InstallTool("updater\\upt.exe", "append helper_started.txt helper\n");
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {3, "1.3.0"}, {2, "x"}));
  fx.Write("updater\\temp\\upt.zip", "left from an earlier run");

  RunUpdater(fx, "\n");

  ASSERT_TRUE(WaitForFile(fx, "updater\\helper_started.txt"));
  EXPECT_FALSE(fx.Exists("updater\\temp\\upt.zip"));
}

// A package is unpacked only when it has the hash the server's version file gives it
// (in either letter case); one with another hash installs nothing and is not handed over.
TEST(Updater, OnlyPackagesWithTheServerHashAreInstalled) {
  Fixture fx;
  Installation(fx);
  fx.Write("updater\\3ver.ini", VersionIni(1));
  fx.InstallTool("updater\\upt.exe", "append helper_started.txt helper\n");
  const std::string prg = "1DE6371CEC26E4E386A4555B821ACDA099BA6FCE08FB1C1C27E64095DF288FBC";
  const std::string other(64, 'e');
  ServerFile(fx, "ver.ini", ServerVerIni({3, "1.5.0", prg}, {4, "2026.12", other},
                                         {6, "1.3.0", other}, {5, "3.0", other}));
  ServerFile(fx, "upt/prg/3.zip", "package prg");
  ServerFile(fx, "upt/db/4.zip", "package db");
  ServerFile(fx, "upt/3/5.zip", "package 3");
  ServerFile(fx, "upt/up/6.zip", "package up");
  const auto before = Installed(fx);

  RunResult run = RunUpdater(fx, "\n");

  const std::string damaged =
      " > The package is damaged (SHA-256 does not match); it was not installed. \n";
  EXPECT_TRANSCRIPT(Opening() +
                        " > Downloading new program version 1.5.0 ...\n\n > Unpacking ... \n\n\n"
                        " > Downloading new database version 2026.12 ...\n\n > Unpacking ... \n" +
                        damaged +
                        "\n\n > Downloading new 3rd party apps. Package version 3.0 ...\n\n"
                        " > Unpacking ... \n" +
                        damaged +
                        "\n\n > Downloading new updater version 1.3.0 ...\n\n > Unpacking ... \n" +
                        damaged + "\nPress <Enter> to continue",
                    run.out);
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/prg/3.zip"),
                              SevenZip("x -bd -o..\\ -Y temp\\3.zip"),
                              Fetch(fx, "upt/db/4.zip"),
                              Fetch(fx, "upt/3/5.zip"),
                              Fetch(fx, "upt/up/6.zip"),
                          }));
  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
  EXPECT_EQ(Installed(fx), before);
  EXPECT_FALSE(fx.Exists("updater\\helper_started.txt"));
  for (const char* zip : {"3.zip", "4.zip", "5.zip", "6.zip", "upt.zip"})
    EXPECT_FALSE(fx.Exists(std::string("updater\\temp\\") + zip)) << zip;
}

TEST(Updater, MissingHelperEndsLikeAnOrdinaryRun) {
  Fixture fx;
  Installation(fx);
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {3, "1.3.0"}, {2, "x"}));
  ServerFile(fx, "upt/up/3.zip", "package up");

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Opening() + NoProgram + NoDatabase + "\n" +
                        " > Downloading new updater version 1.3.0 ...\n\n"
                        " > Unpacking ... \n"
                        " > The updater could not be updated: updater\\upt.exe did not start. \n"
                        "\nPress <Enter> to continue",
                    run.out);
  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
}

TEST(Updater, MissingDownloadFolderIsCreated) {
  Fixture fx;
  Installation(fx);
  fx.Remove("updater\\temp");

  RunUpdater(fx, "\n");

  EXPECT_TRUE(fx.Exists("updater\\temp"));
}

// The whole self-update with the real helper: the updater hands the package over, the
// helper unpacks it once the updater has ended and starts the updater again, which finds
// nothing newer and starts the main program.
TEST(SelfUpdate, HelperInstallsThePackageAndTheUpdaterStartsTheMainProgram) {
  Fixture fx;
  Installation(fx);
  InstallUpdater(fx, true);
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {3, "1.3.0"}, {2, "x"}));
  ServerFile(fx, "upt/up/3.zip", "package up");
  ServerFile(fx, "new_ver.ini", VersionIni(3));
  // Run in "updater\" by the helper: the package brings the updater's version file.
  // (The fake's copy cannot replace a file on Windows builds, hence the remove.)
  fx.InstallTool("7z\\7za.exe", "remove ver.ini\ncopy " + FakeServer(fx) + "new_ver.ini ver.ini\n");

  RunResult run = RunUpdater(fx, "\n");

  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
  const std::string handOver = Opening() + NoProgram + NoDatabase + "\n" +
                               " > Downloading new updater version 1.3.0 ...\n\n"
                               " > Unpacking ... \n";
#ifndef _WIN32
  // On POSIX each program takes over the process of the one before, so one transcript
  // holds the whole chain.
  EXPECT_TRANSCRIPT(handOver +
                        "Quillhaven self-update\n\n"
                        " > Installing new updater ... \n"
                        " > Starting new updater ... \n" +
                        NothingNewer(),
                    run.out);
#else
  EXPECT_EQ(run.out.substr(0, handOver.size()), handOver);
#endif
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/up/3.zip"),
                              SevenZip("t temp\\upt.zip"),
                              SevenZip("x -bd -o.\\ -y temp\\upt.zip"),
                              Fetch(fx, "ver.ini"),
                          }));
  EXPECT_FALSE(fx.Exists("updater\\temp\\upt.zip"));
  EXPECT_EQ(fx.Read("updater\\ver.ini"), VersionIni(3));
}

TEST(SelfUpdate, DamagedPackageStartsTheMainProgramInsteadOfTheUpdater) {
  Fixture fx;
  Installation(fx);
  InstallUpdater(fx, true);
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {3, "1.3.0"}, {2, "x"}));
  ServerFile(fx, "upt/up/3.zip", "truncated");
  fx.InstallTool("7z\\7za.exe", "exit 2\n");

  RunResult run = RunUpdater(fx, "\n");

  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
#ifndef _WIN32
  EXPECT_NE(run.out.find("Quillhaven self-update\n\n"
                         " > Installing new updater ... \n"
                         " > The new updater could not be installed; the old one stays. \n"
                         "\nPress <Enter> to continue"),
            std::string::npos);
#endif
  // The updater was not started again.
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/up/3.zip"),
                              SevenZip("t temp\\upt.zip"),
                          }));
  EXPECT_FALSE(fx.Exists("updater\\temp\\upt.zip"));
  EXPECT_EQ(fx.Read("updater\\ver.ini"), VersionIni(2));
}

TEST(SelfUpdate, PackageWithoutANewerVersionFileDoesNotLoop) {
  Fixture fx;
  Installation(fx);
  InstallUpdater(fx, true);
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {3, "1.3.0"}, {2, "x"}));
  ServerFile(fx, "upt/up/3.zip", "package up");
  // The fake 7-Zip unpacks without error but brings no version file.

  RunResult run = RunUpdater(fx, "\n");

  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/up/3.zip"),
                              SevenZip("t temp\\upt.zip"),
                              SevenZip("x -bd -o.\\ -y temp\\upt.zip"),
                          }));
}

}  // namespace
