// Helpers of the launching and virtual-disk unit tests: a throw-away installation that the
// settings point at, and a console with scripted input whose output is kept.
#pragma once
#include <gtest/gtest.h>

#include "support/console_capture.h"
#include "support/temp_dir.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/settings.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"

namespace launchtest {

namespace fs = std::filesystem;
using ::Console;
using ::ReadStream;

// A folder that AppDir names while it lives, with ImagesDir "images" and DbDir "db".
class TempInstall : public TempDir {
 public:
  TempInstall() : TempDir("qh-launch-") {
    ResetSettings();
    AppDir = Dir();
    DbDir = "db";
    ImagesDir = "images";
  }
  ~TempInstall() {
    ResetSettings();
    std::error_code ec;
    fs::permissions(Fs("qemu"), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  // Copies the fake tool (built beside the test program) under a tool's name.
  void InstallFakeTool(const std::string& relPath, const std::string& actions = "") const {
    ASSERT_TRUE(fs::is_regular_file(FakeToolPath())) << FakeToolPath() << " is not built";
    InstallTool(relPath, actions);
  }
};


}  // namespace launchtest
