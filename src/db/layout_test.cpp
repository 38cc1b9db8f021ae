#include "db/layout.h"

#include <gtest/gtest.h>

namespace {

// The updater's paths are spelled out whole: each must lie in its folder, where the
// updater and its helper, running there, find them without the folder's name.
TEST(Layout, UpdaterPathsLieInTheUpdaterFolder) {
  for (const char* path : {UpdaterProgram, HelperProgram, UpdaterTempFolder, StagingFolder,
                           HandedOverPackage, UpdaterVersionFile, ToolsVersionFile, ReleaseFile})
    EXPECT_EQ(UpdaterFolder + FromUpdaterFolder(path), path);
  EXPECT_EQ(FromUpdaterFolder(StagingFolder), "temp\\stage\\");
  EXPECT_EQ(std::string(UpdaterFolder) + UpdaterName, UpdaterProgram);
  EXPECT_EQ(std::string(UpdaterFolder) + HelperName, HelperProgram);
  EXPECT_EQ(ToolFile(WgetProgram), "wget\\wget.exe");
}

}  // namespace
