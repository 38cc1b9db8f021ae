// The updater program: its screen, the command lines it runs for each package, the order of
// the packages, its housekeeping in "updater\temp", and the hand-over at its end, to the main
// program or to the self-update helper (which then starts the updater again).
#include <gtest/gtest.h>


#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>
#include <string>
#include <vector>

#include "main_func/command_words.h"
#include "main_func/process.h"
#include "main_func/update_lock.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/signing.h"
#include "support/transcript.h"
#include "support/updater_fixture.h"
#include "trust/digest.h"
#include "trust/signed_release.h"

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

// wget reads the installation's wgetrc by the path WGETRC gives, from the updater's folder.
TEST(Updater, NothingNewerEndsWithEnterAndStartsTheMainProgram) {
  Fixture fx;
  Installation(fx);
  ServerFile(fx, "ver.ini", ServerVerIni({2, "1.4.1"}, {2, "2026.01"}, {2, "1.2.2"}, {1, "1"}));
  fx.Write("wget\\wgetrc", "tries = 1\n");
  fx.InstallTool("wget\\wget.exe", "envfile WGETRC ..\\..\\wgetrc-read.txt\ncopy $ARG4 $ARG3$LAST\n");
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
  EXPECT_EQ(fx.Read("..\\wgetrc-read.txt"), "tries = 1\ntries = 1\n");
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
  EXPECT_TRANSCRIPT(Unreachable("no network, the server's name was not found, the connection was refused, timed out or was cut off"), run.out);
  fx.InstallTool("wget\\wget.exe", "exit 8\n");
  EXPECT_TRANSCRIPT(Unreachable("the update server answered with an error for ver.ini (such as 404 Not Found)"),
                    RunUpdater(fx, "\n").out);
  // A server that sends on and on is cut off at the limit, not after wget ends.
  fx.InstallTool("wget\\wget.exe", "create $ARG3ver.ini 1048577\nsleep 60000\nexit 0\n");
  EXPECT_TRANSCRIPT(Unreachable("the version file passed its limit of 1 MiB and its fetch was stopped"),
                    RunUpdater(fx, "\n").out);
  UseFakeServer(fx);
  ServerFile(fx, "ver.ini", "");
  EXPECT_TRANSCRIPT(Unreachable("the version file is empty"), RunUpdater(fx, "\n").out);
  ServerFile(fx, "ver.ini", "<html>Not here</html>\r\n");
  EXPECT_TRANSCRIPT(Unreachable("the version file has no [version] section"),
                    RunUpdater(fx, "\n").out);
  EXPECT_EQ(Installed(fx), before);
}

#ifdef __linux__
// A version file of 200 MB on the server: refused without being read. The updater's peak
// memory (with the programs it waited for) comes from its resource usage, taken by a small
// program that starts it (tests/peak_memory.cpp).
TEST(Updater, AHugeVersionFileIsRefusedWithoutBeingRead) {
  Fixture fx;
  Installation(fx);
  ServerFile(fx, "ver.ini", "[version]\r\naver=9\r\n");
  std::filesystem::resize_file(fx.FsPath("..\\srv\\ver.ini"), 200ull << 20);  // sparse
  const auto before = Installed(fx);
  fx.Write("..\\stdin.txt", "\n");

  const int code = RunRedirected(
      QuoteWord(BuiltProgram("peak_memory").string()) + " " + QuoteWord(fx.Path("..\\peak.txt")) +
          " " + QuoteWord(fx.Path(UpdaterFile())),
      fx.Path("updater"), fx.Path("..\\stdin.txt"), fx.Path("..\\stdout.txt"), "");

  EXPECT_EQ(code, 0);
  const long peakKiB = std::atol(fx.Read("..\\peak.txt").c_str());
  std::printf("updater peak memory with a 200 MB version file: %ld KiB\n", peakKiB);
  EXPECT_GT(peakKiB, 0);
  EXPECT_LT(peakKiB, 50 * 1024);
  EXPECT_TRANSCRIPT(Unreachable("the version file passed its limit of 1 MiB and its fetch was stopped"),
                    NormalizeLineEnds(fx.Read("..\\stdout.txt")));
  EXPECT_EQ(Installed(fx), before);
  EXPECT_FALSE(fx.Exists("updater\\temp\\ver.ini"));
}
#endif

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
                              SevenZip("t temp\\3.zip"),
                              SevenZip("x -bd -otemp\\stage\\ -Y temp\\3.zip"),
                          }));
  EXPECT_FALSE(fx.Exists("updater\\temp\\3.zip"));
  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
}

// The update lock's file is never replaced: a package that brings one installs nothing.
TEST(Updater, PackageBringingTheLockFileInstallsNothing) {
  Fixture fx;
  Installation(fx);
  ServerFile(fx, "ver.ini", ServerVerIni({3, "1.5.0"}, {2, "x"}, {2, "x"}, {2, "x"}));
  ServerFile(fx, "upt/prg/3.zip", "program 3");
  fx.InstallTool("7z\\7za.exe", "mkdir temp\\stage\nappend temp\\stage\\Update.lock x\n"
                                "append temp\\stage\\ver.ini [version]\n");
  const auto before = Installed(fx);

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_NE(run.out.find(" > The package would replace Update.lock, the update lock; the program "
                         "was not updated, the previous files were put back. \n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(Installed(fx), before);
}

TEST(Updater, MissingServerVersionTextShowsAsOnePointZero) {
  Fixture fx;
  Installation(fx);
  ServerFile(fx, "ver.ini", ServerVerIni({5, ""}, {2, "x"}, {2, "x"}, {2, "x"}));
  ServerFile(fx, "upt/prg/5.zip", "program 5");

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
  ServerFile(fx, "upt/db/5.zip", "database 5");
  // The package brings its db.ini into the staging folder, from where it goes into place.
  ServerFile(fx, "new_db.ini", VersionIni(5));
  fx.InstallTool("7z\\7za.exe", "mkdir temp\\stage\ncopy " + FakeServer(fx) +
                                     "new_db.ini temp\\stage\\db.ini\n");

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Opening() + NoProgram + " > Downloading new database version 2026.12 ...\n\n"
                                           " > Unpacking ... \n\n\n" +
                        NoUpdater,
                    run.out);
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/db/5.zip"),
                              SevenZip("t temp\\5.zip"),
                              SevenZip("x -bd -otemp\\stage\\ -y temp\\5.zip"),
                          }));
  EXPECT_EQ(fx.Read("..\\data\\db\\db.ini"), VersionIni(5));
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
  return "mkdir temp\\stage\\wget\n"
         "copy " + from + "wget.exe temp\\stage\\wget\\wget.exe\n"
         "copy " + from + "wget.exe.act temp\\stage\\wget\\wget.exe.act\n";
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
                              SevenZip("x -bd -otemp\\stage\\ -y temp\\2.zip"),
                          }));
  // The package replaced the old folders; it brought only wget.
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

  // wget's exit code says why, whatever it left: code 3 for a disk that filled up. The fake
  // wget ends with the number its file name starts with: 0 for ver.ini, 3 for 3.zip.
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {2, "x"}, {2, "x"}, {3, "3.0", std::string(64, 'a')}));
  ServerFile(fx, "upt/3/3.zip", "the first part");
  fx.InstallTool("wget\\wget.exe", "copy $ARG4 $ARG3$LAST\nexit $LAST\n");
  const auto withThatWget = Installed(fx);
  EXPECT_TRANSCRIPT(Opening() + NoProgram + NoDatabase +
                        "\n > Downloading new 3rd party apps. Package version 3.0 ...\n\n"
                        " > Unpacking ... \n"
                        " > The package could not be downloaded: the file could not be written "
                        "(disk full or not writable); 3rd party apps were not updated. \n"
                        "\n\n" + NoUpdater,
                    RunUpdater(fx, "\n").out);
  EXPECT_EQ(Installed(fx), withThatWget);
}

// Without a 7-Zip that starts, every package says so, and nothing changes.
TEST(Updater, SevenZipThatCannotStartIsNamedForEveryPackage) {
  Fixture fx;
  Installation(fx);
  fx.InstallTool("updater\\upt.exe", "append helper_started.txt helper\n");
  fx.Remove("7z");
  ServerFile(fx, "ver.ini", ServerVerIni({3, "1.5.0"}, {4, "2026.12"}, {6, "1.3.0"}, {5, "3.0"}));
  for (const char* zip : {"upt/prg/3.zip", "upt/db/4.zip", "upt/3/5.zip", "upt/up/6.zip"})
    ServerFile(fx, zip, "package");
  const auto before = Installed(fx);

  RunResult run = RunUpdater(fx, "\n");

  const std::string noSevenZip = " > 7-Zip (7z\\7za.exe) could not be started; ";
  EXPECT_TRANSCRIPT(Opening() +
                        " > Downloading new program version 1.5.0 ...\n\n > Unpacking ... \n" +
                        noSevenZip + "the program was not updated. \n\n\n"
                        " > Downloading new database version 2026.12 ...\n\n > Unpacking ... \n" +
                        noSevenZip + "the database was not updated. \n\n"
                        "\n > Downloading new 3rd party apps. Package version 3.0 ...\n\n"
                        " > Unpacking ... \n" + noSevenZip + "3rd party apps were not updated. \n\n"
                        "\n > Downloading new updater version 1.3.0 ...\n\n > Unpacking ... \n" +
                        noSevenZip + "the updater was not updated. \n\nPress <Enter> to continue",
                    run.out);
  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
  EXPECT_EQ(Installed(fx), before);
  EXPECT_FALSE(fx.Exists("updater\\helper_started.txt"));
}

// The list of entries of a zip archive (its central directory and end record, without the
// files themselves): enough for the updater's look at the paths, and for the fake 7-Zip.
std::string ZipListing(const std::vector<std::string>& names, bool links = false) {
  auto le = [](std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
  };
  std::string dir;
  for (const std::string& name : names)
    dir += "PK\x01\x02" + le(links ? 0x0314 : 0x0014, 2) + le(20, 2) + std::string(20, '\0') +
           le(name.size(), 2) + le(0, 8) + le(links ? 0120777u << 16 : 0, 4) + le(0, 4) + name;
  return dir + "PK\x05\x06" + le(0, 4) + le(names.size(), 2) + le(names.size(), 2) +
         le(dir.size(), 4) + le(0, 4) + le(0, 2);
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

  // Entries that would leave the folder (or links) are named, and nothing is unpacked.
  for (const auto& [names, links, named] :
       std::vector<std::tuple<std::vector<std::string>, bool, std::string>>{
           {{"wget/wget.exe", "../evil.txt"}, false, "../evil.txt"},
           {{"qemu\\..\\..\\evil.txt"}, false, "qemu\\..\\..\\evil.txt"},
           {{"/etc/evil"}, false, "/etc/evil"},
           {{"C:/evil"}, false, "C:/evil"},
           {{"wget/wget.exe"}, true, "wget/wget.exe"}}) {
    SCOPED_TRACE(named);
    ServerFile(fx, "upt/3/2.zip", ZipListing(names, links));
    fx.Remove("tool_log.txt");
    EXPECT_NE(RunUpdater(fx, "\n").out.find(" > The package holds a path outside its folder (" +
                                            named + "); 3rd party apps were not updated. \n"),
              std::string::npos);
    EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{Fetch(fx, "ver.ini"),
                                                      Fetch(fx, "upt/3/2.zip")}));
    EXPECT_EQ(Installed(fx), before);
  }
  // Names that only look alike stay inside.
  ServerFile(fx, "upt/3/2.zip", ZipListing({"wget/..wget", "wget/x..", "a/.../b"}));
  EXPECT_EQ(RunUpdater(fx, "\n").out.find("outside its folder"), std::string::npos);
}

// Packages that bring an Own.ini or a qemu.ini of their own: the user's entries stay as they
// are, and so do the user's QEMU settings, with the package's copy kept beside them. A file
// with and without ".exe" in one package are two files, each installed as it is.
TEST(Updater, UserFilesSurviveTheDatabaseAndToolsPackages) {
  Fixture fx;
  Installation(fx);
  fx.Write("updater\\3ver.ini", VersionIni(1));
  const std::string own = IniText({"[main]", "count=1", "[1]", "name=Mine", "filename=m.iso"});
  fx.Write("db\\Own.ini", own);
  fx.Write("qemu\\qemu.ini", "the user's settings");
  fx.Write("kqemu\\old.txt", "old tools");
  ServerFile(fx, "ver.ini", ServerVerIni({2, "x"}, {3, "2026.12"}, {2, "x"}, {4, "3.0"}));
  ServerFile(fx, "upt/db/3.zip", "database 3");
  ServerFile(fx, "upt/3/4.zip", "tools 4");
  ServerFile(fx, "unpack/3.zip/Own.ini", IniText({"[main]", "count=0"}));
  ServerFile(fx, "unpack/3.zip/db.ini", VersionIni(3));
  fx.Write("db\\tool", "old tool");
  ServerFile(fx, "unpack/3.zip/tool", "new tool");
  ServerFile(fx, "unpack/3.zip/tool.exe", "new tool.exe");
  ServerFile(fx, "unpack/4.zip/qemu.ini", "the package's settings");
  ServerFile(fx, "unpack/4.zip/3ver.ini", VersionIni(4));
  // The fake 7-Zip stages what the archive's folder holds (a copy of a missing file fails).
  const std::string from = FakeServer(fx) + "unpack/$LAST/";
  fx.InstallTool("7z\\7za.exe", "mkdir temp\\stage\\qemu\nmkdir temp\\stage\\updater\n"
                                "copy " + from + "Own.ini temp\\stage\\Own.ini\n"
                                "copy " + from + "db.ini temp\\stage\\db.ini\n"
                                "copy " + from + "tool temp\\stage\\tool\n"
                                "copy " + from + "tool.exe temp\\stage\\tool.exe\n"
                                "copy " + from + "qemu.ini temp\\stage\\qemu\\qemu.ini\n"
                                "copy " + from + "3ver.ini temp\\stage\\updater\\3ver.ini\n");

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_EQ(run.out.find("not updated"), std::string::npos) << run.out;
  EXPECT_EQ(fx.Read("db\\db.ini"), VersionIni(3));
  EXPECT_EQ(fx.Read("db\\Own.ini"), own);
  EXPECT_EQ(fx.Read("db\\tool"), "new tool");
  EXPECT_EQ(fx.Read("db\\tool.exe"), "new tool.exe");
  EXPECT_EQ(fx.Read("qemu\\qemu.ini"), "the user's settings");
  EXPECT_EQ(fx.Read("qemu\\qemu.ini.new"), "the package's settings");
  EXPECT_EQ(fx.Read("updater\\3ver.ini"), VersionIni(4));
  EXPECT_FALSE(fx.Exists("kqemu"));
  EXPECT_FALSE(fx.Exists("updater\\temp\\stage"));
  EXPECT_FALSE(fx.Exists("updater\\temp\\journal.txt"));
}

// What an installation cut short leaves: its journal, a new folder and file, and the old
// version file in the backup. The next start of the updater, or of the main program, puts
// the old files back before anything else.
void LeaveAnInterruptedInstallation(const Fixture& fx) {
  fx.Write("updater\\temp\\journal.txt",
           "quillhaven update journal 1\nD extra\nF0 extra\\new.txt\nF1 ver.ini\n");
  fx.Write("extra\\new.txt", "new file");
  fx.Write("updater\\temp\\backup\\2", VersionIni(2));
  fx.Write("ver.ini", VersionIni(7));
}

const char* const RolledBack = " > An update was interrupted; the previous files were put back. \n";

// While another program holds the update lock (an update still running), neither program
// touches the journal: a second updater says so and changes nothing, the main program says
// once that an update runs and goes on to its menu. Once the lock is free, either undoes it.
TEST(Updater, AnInterruptedInstallationIsUndoneAtTheNextStartOfEitherProgram) {
  Fixture fx;
  Installation(fx);
  LeaveAnInterruptedInstallation(fx);
  ServerFile(fx, "ver.ini", ServerVerIni({2, "1.4.1"}, {2, "2026.01"}, {2, "1.2.2"}, {1, "1"}));
  {
    UpdateLock running;
    ASSERT_EQ(running.Take(fx.Path("")), UpdateLock::State::Held);
    const auto live = TreeSnapshot(fx);
    RunResult second = RunUpdater(fx, "\n");
    EXPECT_TRANSCRIPT(Opening().substr(0, Opening().find("Checking")) +
                          " > An update is already running; nothing was changed. \n\n"
                          "Press <Enter> to continue",
                      second.out);
    ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
    fx.Remove("main_started.txt");
    EXPECT_EQ(TreeSnapshot(fx), live);
  }

  RunResult run = RunUpdater(fx, "\n");

  EXPECT_TRANSCRIPT(Opening().substr(0, Opening().find("Checking")) + RolledBack +
                        Opening().substr(Opening().find("Checking")) + NoProgram + NoDatabase +
                        "\n" + NoUpdater,
                    run.out);
  EXPECT_EQ(fx.Read("ver.ini"), VersionIni(2));
  EXPECT_FALSE(fx.Exists("extra"));
  EXPECT_FALSE(fx.Exists("updater\\temp\\journal.txt"));
  EXPECT_FALSE(fx.Exists("updater\\temp\\backup"));

  Fixture main;
  main.Write("db\\db.ini", IniText({"[version]", "version=1", "[categories]", "count=0"}));
  LeaveAnInterruptedInstallation(main);
  {
    UpdateLock running;
    ASSERT_EQ(running.Take(main.Path("")), UpdateLock::State::Held);
    main.Write("updater\\updater.exe", "");  // being replaced: neither OK nor fetched
    const auto live = TreeSnapshot(main);
    RunResult start = main.Run("9\n0\n");
    const std::string said = " > An update is running; its files are left as they are. \n";
    EXPECT_EQ(start.out.find(said), start.out.rfind(said)) << start.out;
    EXPECT_EQ(start.out.rfind("Quillhaven\n==========\n\nLoading ...\n\n" + said, 0), 0u);
    EXPECT_NE(start.out.find("Checking files ...\n  Updater ... [ ERROR ]\n"), std::string::npos)
        << start.out;
    EXPECT_TRUE(main.ToolLog().empty());
    EXPECT_EQ(TreeSnapshot(main), live);
    main.InstallTool("updater\\updater.exe");
  }

  RunResult start = main.Run("0\n");

  const std::string banner = "Quillhaven\n==========\n\nLoading ...\n\n";
  EXPECT_EQ(start.out.rfind(banner + RolledBack, 0), 0u) << start.out;
  EXPECT_EQ(main.Read("ver.ini"), VersionIni(2));
  EXPECT_FALSE(main.Exists("extra"));
  EXPECT_FALSE(main.Exists("updater\\temp"));
}

#ifdef _WIN32
// A file that another program holds open without delete sharing can be neither replaced nor
// moved aside: the update waits for it, then puts back what it had moved and says so.
TEST(Updater, AFileHeldOpenMakesTheUpdateWaitThenRollBack) {
  Fixture fx;
  Installation(fx);
  fx.Remove("ver.ini");
  fx.Write("a.txt", "old a");
  fx.Write("held.txt", "old held");
  ServerFile(fx, "ver.ini", ServerVerIni({3, "1.5.0"}, {2, "x"}, {2, "x"}, {2, "x"}));
  ServerFile(fx, "upt/prg/3.zip", "program 3");
  ServerFile(fx, "unpack/a.txt", "new a");
  ServerFile(fx, "unpack/held.txt", "new held");
  ServerFile(fx, "unpack/ver.ini", VersionIni(3));
  const std::string from = FakeServer(fx) + "unpack/";
  fx.InstallTool("7z\\7za.exe", "mkdir temp\\stage\n"
                                "copy " + from + "a.txt temp\\stage\\a.txt\n"
                                "copy " + from + "held.txt temp\\stage\\held.txt\n"
                                "copy " + from + "ver.ini temp\\stage\\ver.ini\n");
  const auto before = Installed(fx);
  std::ifstream hold(fx.FsPath("held.txt"), std::ios::binary);  // no delete sharing
  ASSERT_TRUE(hold.is_open());

  RunResult run = RunUpdater(fx, "\n");
  hold.close();

  EXPECT_NE(run.out.find(" > Unpacking ... \n > held.txt is in use and could not be replaced; the "
                         "program was not updated, the previous files were put back. \n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(Installed(fx), before);
  EXPECT_FALSE(fx.Exists("updater\\temp\\journal.txt"));
}
#endif

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
                              SevenZip("t temp\\3.zip"),
                              SevenZip("x -bd -otemp\\stage\\ -Y temp\\3.zip"),
                              Fetch(fx, "upt/db/4.zip"),
                              SevenZip("t temp\\4.zip"),
                              SevenZip("x -bd -otemp\\stage\\ -y temp\\4.zip"),
                              Fetch(fx, "upt/3/5.zip"),
                              SevenZip("t temp\\5.zip"),
                              SevenZip("x -bd -otemp\\stage\\ -y temp\\5.zip"),
                              Fetch(fx, "upt/up/6.zip"),
                              SevenZip("t temp\\6.zip"),
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

  RunResult run = RunUpdater(fx, "\n");

  // Nothing arrived to hand over: the main program starts, not the helper.
  EXPECT_NE(run.out.find(" > The package did not arrive whole; the updater was not updated. \n"),
            std::string::npos);
  ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
  EXPECT_FALSE(fx.Exists("updater\\helper_started.txt"));
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
                              SevenZip("t temp\\3.zip"),
                              SevenZip("x -bd -otemp\\stage\\ -Y temp\\3.zip"),
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

// A server paired with a key in options.ini: its version file is read only when signed by
// that key, not older than the newest one accepted, not expired; and then only packages
// with their sha256 are installed. A server without a key is read as before.
TEST(Updater, SignedServer) {
  if (!CannotSign().empty()) GTEST_SKIP() << CannotSign();
  struct Row {
    const char* name;
    std::string release = "serial=100\r\nexpires=2099-12-31\r\n";  // the [release] lines
    bool dbHash = true;
    enum { Signed, ChangedAfterSigning, NoSignature, NoKey } how = Signed;
    std::string keptBefore = "";  // updater\release.ini
    std::string out = "";         // the lines after the opening, "" for the full update
    std::string keptAfter = "[release]\r\nserial=100\r\n";
    std::string key = "";  // options.ini [update] key in place of the signing key's
  };
  const std::string refused = " > The update server's version file ";
  const std::string notUpdated = ". Nothing was updated. \n\nPress <Enter> to continue";
  const std::string kept200 = "[release]\r\nserial=200\r\n";
  const Row rows[] = {
      {.name = "signed full update", .keptBefore = "[release]\r\nserial=99\r\n"},
      {.name = "changed after signing", .how = Row::ChangedAfterSigning,
       .out = refused + "is not signed correctly" + notUpdated, .keptAfter = ""},
      {.name = "no signature", .how = Row::NoSignature, .out = refused + "is not signed correctly" + notUpdated,
       .keptAfter = ""},
      {.name = "package without sha256", .dbHash = false,
       .out = " > Downloading new program version 1.5.0 ...\n\n > Unpacking ... \n\n\n"
              " > Downloading new database version 2026.12 ...\n\n > Unpacking ... \n"
              " > The signed version file gives no SHA-256 for this package; it was not "
              "installed. \n\n\n" + std::string(NoUpdater)},
      {.name = "older serial", .keptBefore = kept200, .out = refused + "is older than one accepted before" + notUpdated,
       .keptAfter = kept200},
      {.name = "same serial again", .keptBefore = "[release]\r\nserial=100\r\n"},
      {.name = "expired", .release = "serial=100\r\nexpires=2001-01-01\r\n",
       .out = refused + "has expired (valid until 2001-01-01; this computer's date is " +
              TodayUtc() + ")" + notUpdated,
       .keptAfter = ""},
      {.name = "no release section", .release = "",
       .out = refused + "has no valid [release] serial and expires" + notUpdated, .keptAfter = ""},
      {.name = "a key that is not one", .out = refused + "is not signed correctly" + notUpdated,
       .keptAfter = "", .key = "04" + std::string(128, 'g')},
      {.name = "server without a key", .how = Row::NoKey, .keptAfter = ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fixture fx;
    const std::string key = MakeTestKey(fx, "release");
    const std::string configured = row.key.empty() ? key : row.key;
    Installation(fx, row.how == Row::NoKey ? "" : IniText({"key=" + configured}));
    if (!row.keptBefore.empty()) fx.Write("updater\\release.ini", row.keptBefore);
    ServerFile(fx, "upt/prg/3.zip", "package prg");
    ServerFile(fx, "upt/db/4.zip", "package db");
    std::string prgHash, dbHash;
    DigestFile(fx.Path("..\\srv\\upt\\prg\\3.zip"), DigestKind::Sha256, prgHash);
    if (row.dbHash) DigestFile(fx.Path("..\\srv\\upt\\db\\4.zip"), DigestKind::Sha256, dbHash);
    ServerFile(fx, "ver.ini", (row.release.empty() ? "" : "[release]\r\n" + row.release) +
                                  ServerVerIni({3, "1.5.0", prgHash}, {4, "2026.12", dbHash},
                                               {2, "x"}, {2, "x"}));
    if (row.how != Row::NoSignature) SignServerFile(fx, "release", "ver.ini");
    if (row.how == Row::ChangedAfterSigning)
      ServerFile(fx, "ver.ini", fx.Read("..\\srv\\ver.ini") + "[3rdapps]\r\naver=9\r\n");
    const auto before = Installed(fx);

    RunResult run = RunUpdater(fx, "\n");

    const bool installs = row.out.empty() || row.out.find("Unpacking") != std::string::npos;
    EXPECT_TRANSCRIPT(Opening() + (row.out.empty()
                                       ? " > Downloading new program version 1.5.0 ...\n\n"
                                         " > Unpacking ... \n\n\n"
                                         " > Downloading new database version 2026.12 ...\n\n"
                                         " > Unpacking ... \n\n\n" + std::string(NoUpdater)
                                       : row.out),
                      run.out);
    std::vector<std::string> calls = {Fetch(fx, "ver.ini")};
    if (row.how != Row::NoKey) calls.push_back(Fetch(fx, "ver.ini.sig"));
    if (installs) {
      calls.push_back(Fetch(fx, "upt/prg/3.zip"));
      calls.push_back(SevenZip("t temp\\3.zip"));
      calls.push_back(SevenZip("x -bd -otemp\\stage\\ -Y temp\\3.zip"));
      calls.push_back(Fetch(fx, "upt/db/4.zip"));
      if (row.dbHash) {
        calls.push_back(SevenZip("t temp\\4.zip"));
        calls.push_back(SevenZip("x -bd -otemp\\stage\\ -y temp\\4.zip"));
      }
    }
    EXPECT_EQ(fx.ToolLog(), calls);
    if (!installs) {
      auto after = Installed(fx);
      EXPECT_EQ(after, before);
    }
    EXPECT_EQ(fx.Read("updater\\release.ini"), row.keptAfter.empty() ? row.keptBefore : row.keptAfter);
    ASSERT_TRUE(WaitForFile(fx, "main_started.txt"));
    EXPECT_FALSE(fx.Exists("updater\\temp\\ver.ini"));
    EXPECT_FALSE(fx.Exists("updater\\temp\\ver.ini.sig"));
  }
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
  // Run in "updater\" by the helper: the package brings the updater and its version file
  // into the staging folder. A test of the archive ("t", without a fourth word) brings the
  // old version file.
  ServerFile(fx, "new_ver.ini", VersionIni(2));
  ServerFile(fx, "new_ver-y.ini", VersionIni(3));
  const std::string updater = UpdaterFile().substr(std::string("updater\\").size());
  fx.InstallTool("7z\\7za.exe", "mkdir temp\\stage\ncopy " + FakeServer(fx) +
                                    "new_ver$ARG4.ini temp\\stage\\ver.ini\ncopy " + updater +
                                    " temp\\stage\\" + updater + "\n");

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
                              SevenZip("t temp\\3.zip"),
                              SevenZip("t temp\\upt.zip"),
                              SevenZip("x -bd -otemp\\stage\\ -y temp\\upt.zip"),
                              Fetch(fx, "ver.ini"),
                          }));
  EXPECT_FALSE(fx.Exists("updater\\temp\\upt.zip"));
  EXPECT_EQ(fx.Read("updater\\ver.ini"), VersionIni(3));
}

// The updater tests the package before it hands it over, so a damaged one never reaches
// the helper.
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
  EXPECT_NE(run.out.find(" > The package did not arrive whole; the updater was not updated. \n"
                         "\nPress <Enter> to continue"),
            std::string::npos);
#endif
  EXPECT_EQ(run.out.find("Quillhaven self-update"), std::string::npos);
  EXPECT_EQ(fx.ToolLog(), (std::vector<std::string>{
                              Fetch(fx, "ver.ini"),
                              Fetch(fx, "upt/up/3.zip"),
                              SevenZip("t temp\\3.zip"),
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
                              SevenZip("t temp\\3.zip"),
                              SevenZip("t temp\\upt.zip"),
                              SevenZip("x -bd -otemp\\stage\\ -y temp\\upt.zip"),
                          }));
}

}  // namespace
