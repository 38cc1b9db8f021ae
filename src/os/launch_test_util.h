// Helpers of the launching and virtual-disk unit tests: a throw-away installation that the
// settings point at, and a console with scripted input whose output is kept.
#pragma once
#include <gtest/gtest.h>

#include "support/console_capture.h"

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
class TempInstall {
 public:
  TempInstall() {
    static int serial = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
      root_ = fs::temp_directory_path() /
              ("qh_launch_" + std::to_string(stamp) + "_" + std::to_string(++serial));
      if (fs::create_directory(root_)) break;
    }
    ResetSettings();
    AppDir = root_.string() + static_cast<char>(fs::path::preferred_separator);
    DbDir = "db";
    ImagesDir = "images";
  }
  ~TempInstall() {
    ResetSettings();
    std::error_code ec;
    fs::permissions(Fs("qemu"), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(root_, ec);
  }
  TempInstall(const TempInstall&) = delete;
  TempInstall& operator=(const TempInstall&) = delete;

  // relPath with forward slashes.
  fs::path Fs(const std::string& relPath) const { return root_ / relPath; }
  void Write(const std::string& relPath, const std::string& data) const {
    fs::create_directories(Fs(relPath).parent_path());
    std::ofstream out(Fs(relPath), std::ios::binary);
    out << data;
  }
  std::string Read(const std::string& relPath) const {
    std::ifstream in(Fs(relPath), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // Copies the fake tool (built beside the test program) under a tool's name.
  void InstallFakeTool(const std::string& relPath, const std::string& actions = "") const {
    const fs::path tool = fs::path(ExeDir()) / FakeToolName();
    ASSERT_TRUE(fs::is_regular_file(tool)) << tool.string() << " is not built";
    fs::create_directories(Fs(relPath).parent_path());
    fs::copy_file(tool, Fs(relPath), fs::copy_options::overwrite_existing);
    if (!actions.empty()) Write(relPath + ".act", actions);
  }
  // The fake tools' log: one "<tool>\t<arguments>" a line.
  std::vector<std::string> ToolLog() const {
    std::vector<std::string> lines;
    std::ifstream in(Fs("tool_log.txt"), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

 private:
  static std::string FakeToolName() {
#ifdef _WIN32
    return "fake_tool.exe";
#else
    return "fake_tool";
#endif
  }
  fs::path root_;
};


}  // namespace launchtest
