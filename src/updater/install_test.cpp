#include "updater/install.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

#ifndef _WIN32
// On POSIX a backslash is part of a file name: 7-Zip unpacks a zip entry "..\evil" as one
// file of that name, which the installation's backslash paths would read as a step out of
// the folder.
TEST(InstallStaged, ANameThatWouldLeaveTheInstallationIsRefusedBeforeAnythingMoves) {
  TempDir temp;
  const std::string base = temp.Dir() + "inst/";
  WriteBinary(temp.Fs("inst/updater/temp/stage/ok.txt"), "new");
  WriteBinary(temp.Fs("inst/updater/temp/stage") / "..\\evil.txt", "new");
  WriteBinary(temp.Fs("inst/ok.txt"), "old");

  std::string failure;
  EXPECT_FALSE(InstallStaged(base, {"", "ver.ini", {}}, failure));

  EXPECT_EQ(failure, "The package holds a path outside its folder (..\\evil.txt)");
  EXPECT_FALSE(std::filesystem::exists(temp.Fs("evil.txt")));
  EXPECT_EQ(ReadBinary(temp.Fs("inst/ok.txt")), "old");
  EXPECT_FALSE(std::filesystem::exists(temp.Fs("inst/updater/temp/journal.txt")));
}
#endif

}  // namespace
