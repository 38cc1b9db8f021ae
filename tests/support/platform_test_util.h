// Helpers for the platform layer's tests: the throw-away folder and the built fake tool.
#pragma once
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "main_func/files.h"
#include "support/temp_dir.h"

namespace platform_test {

namespace fs = std::filesystem;

#ifdef _WIN32
inline constexpr bool OnWindows = true;
#else
inline constexpr bool OnWindows = false;
#endif

using ::FakeToolPath;
using ::TempDir;

// A word as a started program receives it: the POSIX layer maps backslashes.
inline std::string Received(std::string word) {
  if (!OnWindows)
    for (char& c : word)
      if (c == '\\') c = '/';
  return word;
}

}  // namespace platform_test
