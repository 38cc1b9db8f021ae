#include "main_func/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "main_func/files.h"
#include "support/platform_test_util.h"

using namespace platform_test;

namespace {

// The program word for a tool below the folder, as the screens build it.
std::string Tool(const TempDir& dir, const std::string& rel) { return dir.Win(rel); }

class WorkDirGuard {
 public:
  WorkDirGuard() : saved_(std::filesystem::current_path()) {}
  ~WorkDirGuard() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

}  // namespace

TEST(RunAndWaitTest, ReturnsTheToolsExitCodeUnchanged) {
  TempDir dir;
  dir.InstallTool("tool\\one.exe", "exit 1\n");
  dir.InstallTool("tool\\big.exe", "# a comment\nexit 200\nexit 3\n");
  dir.InstallTool("tool\\zero.exe");
  EXPECT_EQ(RunAndWait(Tool(dir, "tool\\one.exe"), ShowNormal), 1);
  EXPECT_EQ(RunAndWait(Tool(dir, "tool\\big.exe") + " x", ShowNormal), 200);
  EXPECT_EQ(RunAndWait(Tool(dir, "tool\\zero.exe"), ShowHidden), 0);
  EXPECT_EQ(dir.ToolLog().size(), 3u);
}

// The record of an interrupt decides, whatever code the child gave; a child that never
// started stays so.
TEST(RunAndWaitTest, AnInterruptWhileTheChildRunsMakesItAStoppedOne) {
  EXPECT_TRUE(IsInterruptExit(ReportedExit(0, true)));
  EXPECT_TRUE(IsInterruptExit(ReportedExit(4, true)));
  EXPECT_TRUE(IsInterruptExit(ReportedExit(WatchEnded, true)));
  EXPECT_EQ(ReportedExit(-1, true), -1);
  EXPECT_EQ(ReportedExit(0, false), 0);
  EXPECT_EQ(ReportedExit(4, false), 4);

#ifndef _WIN32
  // A child that sends CTRL + C as the terminal does, survives it and ends with 0, as a
  // console child under Wine does; the next child is judged afresh. (A piped Windows test
  // has no console to send CTRL + C through: tests/pty_test.sh does it on Wine's console.)
  TempDir dir;
  dir.InstallTool("tool\\stopped.exe", "interrupt-others\nexit 0\n");
  dir.InstallTool("tool\\zero.exe");
  EXPECT_TRUE(IsInterruptExit(RunAndWait(Tool(dir, "tool\\stopped.exe"), ShowNormal)));
  EXPECT_EQ(RunAndWait(Tool(dir, "tool\\zero.exe"), ShowNormal), 0);
#endif
}

// A watched child is ended when the watcher says so (it would end with 3 otherwise); one
// that ends by itself keeps its exit code, and the watcher sees the time grow.
TEST(RunWatchedTest, WatcherEndsTheChildOrLetsItsExitCodeThrough) {
  TempDir dir;
  dir.InstallTool("tool\\slow.exe", "sleep 20000\nexit 3\n");
  dir.InstallTool("tool\\quick.exe", "exit 7\n");
  std::vector<long long> seen;
  auto stopAfterTwo = [&](long long ms) {
    seen.push_back(ms);
    return seen.size() < 2;
  };
  EXPECT_EQ(RunWatched(Tool(dir, "tool\\slow.exe"), ShowNormal, 50, stopAfterTwo), WatchEnded);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_GE(seen[0], 50);
  EXPECT_GT(seen[1], seen[0]);
  EXPECT_EQ(RunWatched(Tool(dir, "tool\\quick.exe"), ShowNormal, 60000, stopAfterTwo), 7);
  EXPECT_EQ(RunWatched(dir.Win("tool\\none.exe"), ShowNormal, 50, stopAfterTwo), -1);
  EXPECT_EQ(seen.size(), 2u);
#ifndef _WIN32
  // POSIX: the kernel holds every file the child writes to the limit.
  dir.InstallTool("tool\\big.exe", "create " + dir.File("big.bin") + " 100000\nexit 0\n");
  EXPECT_NE(RunWatched(Tool(dir, "tool\\big.exe"), ShowNormal, 60000, stopAfterTwo, 4096), 0);
  EXPECT_LE(std::filesystem::file_size(dir.Fs("big.bin")), 4096u);
#endif
}

TEST(RunAndWaitTest, ArgumentsArriveAsWords) {
  TempDir dir;
  dir.InstallTool("qemu\\qemu.exe");
  int code = RunAndWait(Tool(dir, "qemu\\qemu.exe") + " -L .\\qemu  -m 64\t-hda images\\\\a.img \"two words\" -o..\\",
                        ShowNormal);
  EXPECT_EQ(code, 0);
  std::vector<std::string> log = dir.ToolLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "qemu/qemu.exe\t" + Received("-L .\\qemu -m 64 -hda images\\\\a.img two words -o..\\"));
}

TEST(RunAndWaitTest, MissingProgramGivesMinusOneAtOnce) {
  TempDir dir;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunAndWait(dir.Win("qemu\\qemu.exe") + " -m 64", ShowNormal), -1);
  EXPECT_EQ(RunAndWait("", ShowNormal), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(RunAndWaitTest, CommandLineUpToTheLimitRunsAndLongerIsRefused) {
  TempDir dir;
  dir.InstallTool("t\\tool.exe");
  std::string program = Tool(dir, "t\\tool.exe") + " ";
  ASSERT_LT(program.size(), MaxCommandLine);
  // Words of 1000 characters keep every single argument within any system's limits.
  std::string line = program;
  while (line.size() + 1001 <= MaxCommandLine) line += std::string(1000, 'a') + " ";
  line += std::string(MaxCommandLine - line.size(), 'b');
  ASSERT_EQ(line.size(), MaxCommandLine);
  EXPECT_EQ(RunAndWait(line, ShowNormal), 0);
  ASSERT_EQ(dir.ToolLog().size(), 1u);
  EXPECT_EQ(dir.ToolLog()[0].back(), 'b');
  EXPECT_EQ(RunAndWait(line + "b", ShowNormal), -1);
  EXPECT_EQ(dir.ToolLog().size(), 1u);
}

TEST(RunAndWaitTest, ProgramWithoutExtensionFindsTheExe) {
  TempDir dir;
  dir.InstallTool("wget\\wget.exe", "exit 4\n");
  EXPECT_EQ(RunAndWait(Tool(dir, "wget\\wget") + " -q", ShowNormal), 4);
}

TEST(RunAndWaitTest, RunsInTheCurrentDirectory) {
  TempDir dir;
  dir.InstallTool("tool\\maker.exe", "create made.bin 7\nappend notes\\log.txt $LAST\n");
  std::filesystem::create_directories(dir.Fs("work\\notes"));
  WorkDirGuard guard;
  ASSERT_TRUE(SetWorkDir(dir.Win("work")));
  EXPECT_EQ(RunAndWait(Tool(dir, "tool\\maker.exe") + " a\\b\\c.img", ShowNormal), 0);
  EXPECT_EQ(dir.Read("work\\made.bin"), "xxxxxxx");
  EXPECT_EQ(dir.Read("work\\notes\\log.txt"), "c.img\n");
}

#ifndef _WIN32
TEST(RunAndWaitTest, PosixExeNameAlsoMatchesPlainName) {
  TempDir dir;
  dir.InstallTool("qemu\\qemu-img", "exit 5\n");
  EXPECT_EQ(RunAndWait(Tool(dir, "qemu\\qemu-img.exe") + " create", ShowNormal), 5);
  // The action file belongs to the name the tool really has.
  EXPECT_EQ(dir.ToolLog()[0], "qemu/qemu-img\tcreate");
}

TEST(RunAndWaitTest, PosixFileThatCannotRunGivesMinusOne) {
  TempDir dir;
  dir.Write("tool\\data.exe", "not a program");
  std::filesystem::permissions(dir.Fs("tool\\data.exe"), std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_write);
  EXPECT_EQ(RunAndWait(dir.Win("tool\\data.exe"), ShowNormal), -1);
}

TEST(RunAndWaitTest, PosixBareWordIsFoundOnPathAndSignalsAreReported) {
  EXPECT_EQ(RunAndWait("sh -c \"exit 3\"", ShowNormal), 3);
  EXPECT_EQ(RunAndWait("sh -c \"kill -9 $$\"", ShowNormal), 128 + 9);
  EXPECT_EQ(RunAndWait("no-such-program-anywhere", ShowNormal), -1);
}
#endif

TEST(RunRedirectedTest, CapturesOutputAndErrorAndRunsInWorkDir) {
  TempDir dir;
  dir.InstallTool("tool\\talk.exe", "stdout hello  out\nstderr oops\ncreate here.txt 2\nexit 6\n");
  std::filesystem::create_directories(dir.Fs("work"));
  dir.Write("out.txt", "old content that must go");
  int code = RunRedirected(Tool(dir, "tool\\talk.exe") + " x", dir.Win("work"), "",
                           dir.Win("out.txt"), dir.Win("err.txt"));
  EXPECT_EQ(code, 6);
  auto lines = [](std::string s) {
    std::string r;
    for (char c : s)
      if (c != '\r') r += c;
    return r;
  };
  EXPECT_EQ(lines(dir.Read("out.txt")), "hello  out\n");
  EXPECT_EQ(lines(dir.Read("err.txt")), "oops\n");
  EXPECT_EQ(dir.Read("work\\here.txt"), "xx");
}

TEST(RunRedirectedTest, OutputAndErrorMayShareOneFile) {
  TempDir dir;
  dir.InstallTool("tool\\talk.exe", "stdout one\nstderr two\nstdout three\n");
  EXPECT_EQ(RunRedirected(Tool(dir, "tool\\talk.exe"), "", "", dir.Win("all.txt"), dir.Win("all.txt")),
            0);
  std::string all = dir.Read("all.txt");
  std::erase(all, '\r');
  EXPECT_EQ(all, "one\ntwo\nthree\n");
}

TEST(RunRedirectedTest, MissingInputFileOrProgramGivesMinusOne) {
  TempDir dir;
  dir.InstallTool("tool\\t.exe");
  EXPECT_EQ(RunRedirected(Tool(dir, "tool\\t.exe"), "", dir.Win("none.txt"), "", ""), -1);
  EXPECT_TRUE(dir.ToolLog().empty());
  EXPECT_EQ(RunRedirected(dir.Win("tool\\missing.exe"), "", "", dir.Win("o.txt"), ""), -1);
}

TEST(ShellStartTest, MissingProgramIsAFailure) {
  TempDir dir;
  EXPECT_LE(ShellStart("open", dir.Win("updater\\updater.exe"), "", dir.Win("updater\\"), ShowNormal),
            32);
  EXPECT_LE(ShellStart("", dir.Win("updater\\upt.exe"), "", dir.Win("updater\\"), ShowNormal), 32);
}

#ifndef _WIN32
TEST(ShellStartTest, PosixProgramThatCannotRunIsRefused) {
  TempDir dir;
  dir.Write("updater\\updater.exe", "no program");
  std::filesystem::permissions(dir.Fs("updater\\updater.exe"), std::filesystem::perms::owner_read);
  EXPECT_LE(ShellStart("open", dir.Win("updater\\updater.exe"), "", dir.Win("updater\\"), ShowNormal),
            32);
}

// The hand-over happens when the program ends, so it is watched in a child process: the
// tool replaces it, runs in the given folder and its exit code is the child's.
TEST(ShellStartDeathTest, PosixHandOverRunsTheProgramInItsFolderAtExit) {
  TempDir dir;
  dir.InstallTool("updater\\updater.exe", "create started.txt 3\nexit 7\n");
  EXPECT_EXIT(
      {
        int result = ShellStart("open", dir.Win("updater\\updater.exe"), "a b", dir.Win("updater\\"),
                                ShowNormal);
        std::exit(result > 32 ? 0 : 1);
      },
      testing::ExitedWithCode(7), "");
  EXPECT_EQ(dir.Read("updater\\started.txt"), "xxx");
  ASSERT_EQ(dir.ToolLog().size(), 1u);
  EXPECT_EQ(dir.ToolLog()[0], "updater/updater.exe\ta b");
}

TEST(ShellStartDeathTest, PosixPendingHandOverRunsWhenMainCallsIt) {
  TempDir dir;
  dir.InstallTool("updater\\upt", "exit 9\n");
  EXPECT_EXIT(
      {
        if (ShellStart("", dir.Win("updater\\upt.exe"), "", dir.Win(), ShowNormal) <= 32)
          std::_Exit(1);
        RunPendingHandOver();
        std::_Exit(2);
      },
      testing::ExitedWithCode(9), "");
}
#endif
