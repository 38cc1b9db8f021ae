#include "main_func/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "main_func/update_lock.h"
#include "support/platform_test_util.h"

using namespace platform_test;
namespace fs = std::filesystem;

TEST(FileSize64Test, ReportsSizesBeyondFourGibibytes) {
  TempDir dir;
  { std::ofstream(dir.Fs("big.img"), std::ios::binary); }
  fs::resize_file(dir.Fs("big.img"), 4294967296ull);  // sparse: no disk space needed
  EXPECT_EQ(FileSize64(dir.Win("big.img")), 4294967296ull);
  fs::resize_file(dir.Fs("big.img"), 4294967296ull + 5);
  EXPECT_EQ(FileSize64(dir.Win("big.img")), 4294967301ull);
}

TEST(FileSize64Test, MissingFileIsZeroAndSmallFilesAreExact) {
  TempDir dir;
  EXPECT_EQ(FileSize64(dir.Win("none.img")), 0u);
  dir.Write("qemu\\stderr.txt", "error\n");
  EXPECT_EQ(FileSize64(dir.Win("qemu\\stderr.txt")), 6u);
  dir.Write("empty.txt", "");
  EXPECT_EQ(FileSize64(dir.Win("empty.txt")), 0u);
}

TEST(DeleteDirTreeTest, RemovesANestedTree) {
  TempDir dir;
  dir.Write("tree\\a.txt", "a");
  dir.Write("tree\\sub\\b.txt", "b");
  dir.Write("tree\\sub\\deeper\\c.txt", "c");
  fs::create_directories(dir.Fs("tree\\emptysub"));
  EXPECT_TRUE(DeleteDirTree(dir.Win("tree"), true));
  EXPECT_FALSE(fs::exists(dir.Fs("tree")));
}

TEST(DeleteDirTreeTest, AcceptsATrailingBackslash) {
  TempDir dir;
  dir.Write("temp\\x.zip", "zip");
  EXPECT_TRUE(DeleteDirTree(dir.Win("temp\\"), true));
  EXPECT_FALSE(fs::exists(dir.Fs("temp")));
}

TEST(DeleteDirTreeTest, WithoutContentsRemovesOnlyAnEmptyDirectory) {
  TempDir dir;
  dir.Write("full\\keep.txt", "keep");
  dir.Write("full\\sub\\keep2.txt", "keep");
  EXPECT_FALSE(DeleteDirTree(dir.Win("full"), false));
  EXPECT_EQ(dir.Read("full\\keep.txt"), "keep");
  EXPECT_EQ(dir.Read("full\\sub\\keep2.txt"), "keep");
  fs::create_directories(dir.Fs("empty"));
  EXPECT_TRUE(DeleteDirTree(dir.Win("empty"), false));
  EXPECT_FALSE(fs::exists(dir.Fs("empty")));
}

TEST(DeleteDirTreeTest, MissingDirectoryIsFalse) {
  TempDir dir;
  EXPECT_FALSE(DeleteDirTree(dir.Win("nothing"), true));
  EXPECT_FALSE(DeleteDirTree(dir.Win("nothing"), false));
}

#ifndef _WIN32
TEST(DeleteDirTreeTest, PosixLinkToAFolderOutsideIsRemovedNotFollowed) {
  TempDir dir;
  dir.Write("outside\\precious.txt", "data");
  dir.Write("tree\\file.txt", "x");
  fs::create_directory_symlink(dir.Fs("outside"), dir.Fs("tree\\link"));
  EXPECT_TRUE(DeleteDirTree(dir.Win("tree"), true));
  EXPECT_FALSE(fs::exists(dir.Fs("tree")));
  EXPECT_EQ(dir.Read("outside\\precious.txt"), "data");
}
#endif

TEST(MoveFileTest, NoReplaceRefusesAnExistingTarget) {
  TempDir dir;
  dir.Write("temp\\os.img", "new");
  dir.Write("os.img", "old");
  EXPECT_FALSE(MoveFileNoReplace(dir.Win("temp\\os.img"), dir.Win("os.img")));
  EXPECT_EQ(dir.Read("os.img"), "old");
  EXPECT_EQ(dir.Read("temp\\os.img"), "new");
}

TEST(MoveFileTest, NoReplaceMovesIntoAFreeName) {
  TempDir dir;
  dir.Write("temp\\os.img", "image");
  EXPECT_TRUE(MoveFileNoReplace(dir.Win("temp\\os.img"), dir.Win("os.img")));
  EXPECT_EQ(dir.Read("os.img"), "image");
  EXPECT_FALSE(fs::exists(dir.Fs("temp\\os.img")));
  EXPECT_FALSE(MoveFileNoReplace(dir.Win("temp\\gone.img"), dir.Win("gone.img")));
}

TEST(MoveFileTest, ReplaceOverwritesTheTarget) {
  TempDir dir;
  dir.Write("a.ini", "new");
  dir.Write("b.ini", "old");
  EXPECT_TRUE(MoveFileReplace(dir.Win("a.ini"), dir.Win("b.ini")));
  EXPECT_EQ(dir.Read("b.ini"), "new");
  EXPECT_FALSE(fs::exists(dir.Fs("a.ini")));
  EXPECT_FALSE(MoveFileReplace(dir.Win("a.ini"), dir.Win("b.ini")));
  EXPECT_EQ(dir.Read("b.ini"), "new");
}

TEST(WriteFileAtomicTest, ReplacesContentAndLeavesNoTemporaryFile) {
  TempDir dir;
  dir.Write("db\\Own.ini", "[old]\nlong old content that is longer than the new one\n");
  EXPECT_TRUE(WriteFileAtomic(dir.Win("db\\Own.ini"), "[new]\r\n"));
  EXPECT_EQ(dir.Read("db\\Own.ini"), "[new]\r\n");
  EXPECT_TRUE(WriteFileAtomic(dir.Win("db\\fresh.ini"), std::string("a\0b", 3)));
  EXPECT_EQ(dir.Read("db\\fresh.ini"), std::string("a\0b", 3));
  std::vector<std::string> names = dir.Names("db");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Own.ini", "fresh.ini"}));
}

TEST(WriteFileAtomicTest, FailureLeavesEverythingAsItWas) {
  TempDir dir;
  // A directory in the target's place cannot be replaced by a file.
  dir.Write("db\\Own.ini\\inside.txt", "kept");
  EXPECT_FALSE(WriteFileAtomic(dir.Win("db\\Own.ini"), "data"));
  EXPECT_EQ(dir.Read("db\\Own.ini\\inside.txt"), "kept");
  EXPECT_EQ(dir.Names("db"), std::vector<std::string>{"Own.ini"});
  // A missing folder: nothing is created.
  EXPECT_FALSE(WriteFileAtomic(dir.Win("nofolder\\x.ini"), "data"));
  EXPECT_FALSE(fs::exists(dir.Fs("nofolder")));
}

TEST(FileExistsTest, OnlyFilesCount) {
  TempDir dir;
  dir.Write("qemu\\qemu.exe", "x");
  fs::create_directories(dir.Fs("images\\hdb.img"));
  EXPECT_TRUE(FileExists(dir.Win("qemu\\qemu.exe")));
  EXPECT_FALSE(FileExists(dir.Win("images\\hdb.img")));
  EXPECT_FALSE(FileExists(dir.Win("images\\none.img")));
  EXPECT_TRUE(DirExists(dir.Win("images\\hdb.img")));
  EXPECT_FALSE(DirExists(dir.Win("qemu\\qemu.exe")));
  EXPECT_FALSE(DirExists(dir.Win("nothing")));
}

TEST(FileExistsTest, ExeNameMatchesThePlainNameOnPosixOnly) {
  TempDir dir;
  dir.Write("wget\\wget", "tool");
  dir.Write("7z\\7za.exe", "tool");
  EXPECT_EQ(FileExists(dir.Win("wget\\wget.exe")), !OnWindows);
  EXPECT_EQ(FileSize64(dir.Win("wget\\wget.exe")), OnWindows ? 0u : 4u);
  // The rule works one way only for plain files: "7za" does not find "7za.exe".
  EXPECT_FALSE(FileExists(dir.Win("7z\\7za")));
  EXPECT_TRUE(FileExists(dir.Win("7z\\7za.exe")));
}

TEST(DirectoryTest, MakeRemoveAndWorkDir) {
  TempDir dir;
  EXPECT_TRUE(MakeDir(dir.Win("images")));
  EXPECT_FALSE(MakeDir(dir.Win("images")));
  EXPECT_FALSE(MakeDir(dir.Win("a\\b")));  // one level only
  dir.Write("images\\f.txt", "f");
  EXPECT_FALSE(RemoveEmptyDir(dir.Win("images")));
  EXPECT_FALSE(RemoveFile(dir.Win("images")));
  EXPECT_TRUE(RemoveFile(dir.Win("images\\f.txt")));
  EXPECT_FALSE(RemoveFile(dir.Win("images\\f.txt")));
  EXPECT_TRUE(RemoveEmptyDir(dir.Win("images")));
  EXPECT_FALSE(DirExists(dir.Win("images")));

  fs::path saved = fs::current_path();
  EXPECT_TRUE(SetWorkDir(dir.Win()));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.Fs()));
  EXPECT_FALSE(SetWorkDir(dir.Win("missing")));
  fs::current_path(saved);
}

TEST(ReadWholeFileTest, ReadsBytesExactly) {
  TempDir dir;
  std::string bytes("line\r\nzero\0end", 14);
  dir.Write("f.bin", bytes);
  std::string data = "stale";
  EXPECT_TRUE(ReadWholeFile(dir.Win("f.bin"), data));
  EXPECT_EQ(data, bytes);
  EXPECT_FALSE(ReadWholeFile(dir.Win("none.bin"), data));
  EXPECT_TRUE(data.empty());
}

TEST(PathTest, NativePathAndExecutablePath) {
  EXPECT_EQ(NativePath("C:\\q\\images\\hdb.img"), OnWindows ? "C:\\q\\images\\hdb.img" : "C:/q/images/hdb.img");
  std::string exe = ExePath();
  std::string dir = ExeDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(dir.back() == '/' || dir.back() == '\\');
  EXPECT_EQ(exe.substr(0, dir.size()), dir);
  EXPECT_NE(exe.find("main_func_tests"), std::string::npos);
  EXPECT_TRUE(FileExists(exe));
}

// The update lock excludes a second holder (in this process too: every take opens the file
// anew), lets go on release, and leaves its file behind.
TEST(UpdateLockTest, ExcludesASecondHolderUntilReleased) {
  TempDir dir;
  const std::string base = dir.Dir();
  UpdateLock first, second;
  EXPECT_EQ(first.Take(base), UpdateLock::State::Held);
  EXPECT_EQ(second.Take(base, 300), UpdateLock::State::Busy);
  EXPECT_FALSE(second.Held());
  first.Release();
  EXPECT_EQ(second.Take(base), UpdateLock::State::Held);
  second.Release();
  EXPECT_TRUE(fs::is_regular_file(dir.Fs("update.lock")));
  // A folder in the lock file's place: nobody can hold the lock, nor is it reported busy.
  TempDir blocked;
  fs::create_directories(blocked.Fs("update.lock"));
  EXPECT_EQ(first.Take(blocked.Dir()), UpdateLock::State::Unavailable);
}
