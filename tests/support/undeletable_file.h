// A file of an installation that the program cannot delete, for the cases of a failed
// deletion.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/fixture.h"

// A file of the installation that the program cannot delete while this object lives:
// on Windows held open by the test (a file in use can be neither deleted nor renamed) and
// read-only; on POSIX immutable, or in a folder without write permission for a
// user other than root (root ignores permissions). Locked() is false where neither works.
class UndeletableFile {
 public:
  UndeletableFile(const Fixture& fx, const std::string& relPath)
      : file_(fx.FsPath(relPath)) {
    namespace fs = std::filesystem;
#ifdef _WIN32
    fs::permissions(file_, fs::perms::owner_write | fs::perms::group_write |
                               fs::perms::others_write, fs::perm_options::remove);
    hold_.open(file_, std::ios::binary);
    locked_ = hold_.is_open();
#else
    if (std::system(("chattr +i '" + file_.string() + "' 2>/dev/null").c_str()) == 0) {
      immutable_ = true;
      locked_ = true;
    } else if (std::system("test \"$(id -u)\" != 0") == 0) {
      fs::permissions(file_.parent_path(), fs::perms::owner_write | fs::perms::group_write |
                                               fs::perms::others_write,
                      fs::perm_options::remove);
      folderLocked_ = true;
      locked_ = true;
    }
#endif
  }
  ~UndeletableFile() {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (hold_.is_open()) hold_.close();
    if (immutable_) {
      [[maybe_unused]] int rc = std::system(("chattr -i '" + file_.string() + "'").c_str());
    }
    if (folderLocked_) fs::permissions(file_.parent_path(), fs::perms::owner_all,
                                       fs::perm_options::add, ec);
    fs::permissions(file_, fs::perms::owner_write, fs::perm_options::add, ec);
  }
  UndeletableFile(const UndeletableFile&) = delete;
  UndeletableFile& operator=(const UndeletableFile&) = delete;
  bool Locked() const { return locked_; }

 private:
  std::filesystem::path file_;
  std::ifstream hold_;
  bool locked_ = false;
  bool immutable_ = false;
  bool folderLocked_ = false;
};
