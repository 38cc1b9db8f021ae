// Helpers for the platform layer's tests: a throw-away folder and the built fake tool.
#pragma once
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "main_func/files.h"

namespace platform_test {

namespace fs = std::filesystem;

#ifdef _WIN32
inline constexpr bool OnWindows = true;
#else
inline constexpr bool OnWindows = false;
#endif

// The built fake tool, next to the test program.
inline std::string FakeToolPath() { return ExeDir() + (OnWindows ? "fake_tool.exe" : "fake_tool"); }

class TempDir {
 public:
  TempDir() {
    std::random_device random;
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() /
            ("qh_plat_" + std::to_string(stamp) + "_" + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder as the program writes paths: native, and rel appended with backslashes,
  // so that the POSIX layer's mapping is exercised too.
  std::string Win(const std::string& rel = "") const {
    return rel.empty() ? path_.string() : path_.string() + "\\" + rel;
  }
  fs::path Fs(const std::string& rel = "") const {
    std::string r = rel;
    for (char& c : r)
      if (c == '\\') c = '/';
    return rel.empty() ? path_ : path_ / fs::path(r);
  }
  void Write(const std::string& rel, const std::string& text) const {
    fs::create_directories(Fs(rel).parent_path());
    std::ofstream(Fs(rel), std::ios::binary) << text;
  }
  std::string Read(const std::string& rel) const {
    std::ifstream in(Fs(rel), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Copies the fake tool to rel, with an action file when actions is not empty.
  void InstallTool(const std::string& rel, const std::string& actions = "") const {
    fs::create_directories(Fs(rel).parent_path());
    fs::copy_file(FakeToolPath(), Fs(rel), fs::copy_options::overwrite_existing);
    if (!actions.empty()) Write(rel + ".act", actions);
  }
  // Lines of the fake tools' log in this folder.
  std::vector<std::string> ToolLog() const {
    std::vector<std::string> lines;
    std::ifstream in(Fs("tool_log.txt"), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  std::vector<std::string> Names(const std::string& rel = "") const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(Fs(rel))) names.push_back(e.path().filename().string());
    return names;
  }

 private:
  fs::path path_;
};

// A word as a started program receives it: the POSIX layer maps backslashes.
inline std::string Received(std::string word) {
  if (!OnWindows)
    for (char& c : word)
      if (c == '\\') c = '/';
  return word;
}

}  // namespace platform_test
