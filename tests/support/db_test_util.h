// Helpers of the db unit tests: the throw-away folder, whole-file access, a captured
// console and a folder that refuses new files.
#pragma once
#include <gtest/gtest.h>

#include "support/console_capture.h"
#include "support/temp_dir.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <initializer_list>
#include <string>

#include "db/ini_file.h"
#include "db/settings.h"
#include "main_func/input.h"
#include "main_func/out.h"

namespace dbtest {

namespace fs = std::filesystem;
using ::Console;
using ::ReadStream;

using ::TempDir;

inline void WriteFile(const fs::path& path, const std::string& data) { WriteBinary(path, data); }
inline std::string ReadFile(const fs::path& path) { return ReadBinary(path); }

// An IniFile on t.ini in a fresh folder: With(text) writes the file first.
class IniFileFixture : public ::testing::Test {
 protected:
  IniFile With(const std::string& text) {
    WriteFile(dir.Fs("t.ini"), text);
    return IniFile(path);
  }
  std::string Text() const { return ReadFile(dir.Fs("t.ini")); }

  TempDir dir;
  std::string path = dir.File("t.ini");
};

// An installation whose settings name a fresh db folder and the given categories.
class DbFolderFixture : public ::testing::Test {
 protected:
  void UseCategories(std::initializer_list<const char*> names) {
    ResetSettings();
    AppDir = dir.Dir();
    DbDir = "db";
    fs::create_directory(dir.Fs("db"));
    CategoryCount = 0;
    for (const char* name : names) CategoryNames[++CategoryCount] = name;
  }
  void TearDown() override { ResetSettings(); }

  TempDir dir;
};

inline bool CanCreateIn(const fs::path& dir) {
  const fs::path probe = dir / "probe.tmp";
  bool created = static_cast<bool>(std::ofstream(probe));
  std::error_code ec;
  fs::remove(probe, ec);
  return created && !ec;
}

// A folder in which no file can be created or replaced: no write permission, and on a file
// system that has it the immutable flag as well, since root ignores permissions. False when
// neither works here.
class LockedFolder {
 public:
  explicit LockedFolder(fs::path dir) : dir_(std::move(dir)) {
#ifndef _WIN32
    fs::permissions(dir_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (CanCreateIn(dir_)) {
      immutable_ = std::system(("chattr +i '" + dir_.string() + "' 2>/dev/null").c_str()) == 0;
    }
    locked_ = !CanCreateIn(dir_);
#endif
  }
  ~LockedFolder() {
#ifndef _WIN32
    if (immutable_) {
      [[maybe_unused]] int rc = std::system(("chattr -i '" + dir_.string() + "'").c_str());
    }
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
#endif
  }
  LockedFolder(const LockedFolder&) = delete;
  LockedFolder& operator=(const LockedFolder&) = delete;
  bool Locked() const { return locked_; }

 private:
  fs::path dir_;
  bool immutable_ = false;
  bool locked_ = false;
};

// A read-only file (on Windows: the read-only attribute), or a writable one again.
inline void MakeReadOnlyFile(const fs::path& file, bool readOnly) {
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

}  // namespace dbtest
