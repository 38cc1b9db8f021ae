// Files and directories on POSIX systems. Every path arrives Windows-style and is mapped
// here, at the boundary.
#include "main_func/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "main_func/path_map_posix.h"

namespace {

bool IsRegularFile(const std::string& mapped, struct stat* st = nullptr) {
  struct stat s {};
  if (stat(mapped.c_str(), &s) != 0 || !S_ISREG(s.st_mode)) return false;
  if (st) *st = s;
  return true;
}

// Makes a finished rename or removal survive a crash; best effort, as not every file
// system lets a directory be synced.
void SyncDir(const std::string& dir) {
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

bool DeleteTree(const std::string& dir, bool withContents) {
  bool success = true;
  if (withContents) {
    // A folder without write or search permission is emptied all the same, as on Windows,
    // where the read-only mark does not protect a folder's contents either.
    struct stat self {};
    if (lstat(dir.c_str(), &self) == 0 && S_ISDIR(self.st_mode) &&
        (self.st_mode & S_IRWXU) != S_IRWXU)
      chmod(dir.c_str(), (self.st_mode & 07777) | S_IRWXU);
    if (DIR* d = opendir(dir.c_str())) {
      while (success) {
        errno = 0;
        dirent* e = readdir(d);
        if (!e) {
          if (errno != 0) success = false;
          break;
        }
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string full = JoinPath(dir, name);
        struct stat st {};
        // lstat: a link to a directory is removed as a link, never followed, so nothing
        // outside the tree is touched.
        if (lstat(full.c_str(), &st) != 0) {
          success = false;
        } else if (S_ISDIR(st.st_mode)) {
          success = DeleteTree(full, true);
        } else {
          success = unlink(full.c_str()) == 0;
        }
      }
      closedir(d);
    }
  }
  if (!success) return false;
  return rmdir(dir.c_str()) == 0;
}

// Moves a file to another file system, as MoveFileA does: copy without replacing, then
// remove the source.
bool CopyAcrossNoReplace(const std::string& from, const std::string& to) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(from, ec)) return false;
  if (!std::filesystem::copy_file(from, to, std::filesystem::copy_options::none, ec)) return false;
  if (unlink(from.c_str()) != 0) {
    unlink(to.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool FileExists(const std::string& path) {
  for (const std::string& name : ExeAliases(MapSlashes(path)))
    if (IsRegularFile(name)) return true;
  return false;
}

bool DirExists(const std::string& path) {
  struct stat st {};
  return stat(MapSlashes(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDir(const std::string& path) { return mkdir(MapSlashes(path).c_str(), 0777) == 0; }

bool RemoveFile(const std::string& path) {
  std::string mapped = MapSlashes(path);
  struct stat st {};
  if (lstat(mapped.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return unlink(mapped.c_str()) == 0;
}

bool RemoveFileAnyway(const std::string& path) { return RemoveFile(path); }

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  std::string src = MapSlashes(from), dst = MapSlashes(to);
  struct stat st {};
  if (lstat(src.c_str(), &st) != 0) return false;
  if (renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0) return true;
  int err = errno;
  if (err == EXDEV) return CopyAcrossNoReplace(src, dst);
  if (err != EINVAL && err != ENOSYS && err != ENOTSUP) return false;
  // The file system cannot rename without replacing: a hard link never replaces.
  if (!S_ISDIR(st.st_mode) && link(src.c_str(), dst.c_str()) == 0) return unlink(src.c_str()) == 0;
  if (errno == EEXIST) return false;
  if (lstat(dst.c_str(), &st) == 0) return false;
  return rename(src.c_str(), dst.c_str()) == 0;
}

bool MoveFileReplace(const std::string& from, const std::string& to) {
  std::string dst = MapSlashes(to);
  if (rename(MapSlashes(from).c_str(), dst.c_str()) != 0) return false;
  SyncDir(ParentDir(dst));
  return true;
}

bool RemoveEmptyDir(const std::string& path) { return rmdir(MapSlashes(path).c_str()) == 0; }

uint64_t FileSize64(const std::string& path) {
  struct stat st {};
  for (const std::string& name : ExeAliases(MapSlashes(path)))
    if (IsRegularFile(name, &st)) return static_cast<uint64_t>(st.st_size);
  return 0;
}

std::vector<std::string> FileNamesIn(const std::string& dir) {
  std::vector<std::string> names;
  const std::string mapped = MapSlashes(dir);
  DIR* d = opendir(mapped.c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    struct stat st {};
    if (name == "." || name == ".." || lstat(JoinPath(mapped, name).c_str(), &st) != 0 ||
        S_ISDIR(st.st_mode))
      continue;
    names.push_back(name);
  }
  closedir(d);
  return names;
}

bool DeleteDirTree(const std::string& dir, bool withContents) {
  std::string mapped = MapSlashes(dir);
  while (mapped.size() > 1 && mapped.back() == '/') mapped.pop_back();
  if (mapped.empty()) return false;
  return DeleteTree(mapped, withContents);
}

bool WriteFileAtomic(const std::string& path, const std::string& data) {
  std::string target = MapSlashes(path);
  std::string dir = ParentDir(target);
  std::string base = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
  std::string temp = JoinPath(dir, "." + base + ".XXXXXX");
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;

  // The new file keeps the old one's permissions, or gets those of a newly created file.
  struct stat st {};
  mode_t mode;
  if (stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }

  bool ok = fchmod(fd, mode) == 0;
  size_t done = 0;
  while (ok && done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  SyncDir(dir);
  return true;
}

std::string NativePath(const std::string& path) { return MapSlashes(path); }

std::string ResolvedPath(const std::string& path) {
  char* real = realpath(MapSlashes(path).c_str(), nullptr);
  if (!real) return "";
  std::string result = real;
  free(real);
  return result;
}

std::string ExePath() {
  std::string buf(PATH_MAX, '\0');
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0) return "";
  buf.resize(static_cast<size_t>(n));
  return buf;
}

bool SetWorkDir(const std::string& dir) { return chdir(MapSlashes(dir).c_str()) == 0; }

bool MakeExecutable(const std::string& path) {
  for (const std::string& name : ExeAliases(MapSlashes(path))) {
    struct stat st {};
    if (stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    // Whoever may read it may run it.
    const mode_t read = st.st_mode & (S_IRUSR | S_IRGRP | S_IROTH);
    return chmod(name.c_str(), st.st_mode | (read >> 2)) == 0;
  }
  return false;
}

bool IsExecutableFile(const std::string& path) {
  for (const std::string& name : ExeAliases(MapSlashes(path))) {
    struct stat st {};
    if (stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return (st.st_mode & S_IXUSR) != 0;
  }
  return false;
}
