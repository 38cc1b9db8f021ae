// Files and directories with the Win32 ANSI calls.
#include "main_func/files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace {

// dir + "\" + name, without doubling a separator the caller already wrote.
std::string Join(const std::string& dir, const std::string& name) {
  if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) return dir + name;
  return dir + "\\" + name;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// DeleteFileA and RemoveDirectoryA refuse what carries the read-only attribute.
void ClearReadOnly(const std::string& path, DWORD a) {
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(path.c_str(), a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

}  // namespace

bool FileExists(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDir(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool RemoveFileAnyway(const std::string& path) {
  DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) return false;
  ClearReadOnly(path, a);
  return DeleteFileA(path.c_str()) != 0;
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool MoveFileReplace(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveEmptyDir(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

uint64_t FileSize64(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  uint64_t size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) + found.nFileSizeLow;
  FindClose(search);
  return size;
}

std::vector<std::string> FileNamesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (dir.empty()) return names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(Join(dir, "*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | 0x8)) continue;
    names.push_back(entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

bool DeleteDirTree(const std::string& dir, bool withContents) {
  // "" would make the pattern "\*.*", the root of the current drive.
  if (dir.empty()) return false;
  bool success = true;
  if (withContents) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(Join(dir, "*.*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::string name = entry.cFileName;
        DWORD a = entry.dwFileAttributes;
        // FILE_ATTRIBUTE_VOLUME label entries (0x8) belong to no file.
        if (a & 0x8) continue;
        if (name == "." || name == "..") continue;
        std::string full = Join(dir, name);
        ClearReadOnly(full, a);
        if ((a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT)) {
          // A junction or directory link: remove the link, never what it points to.
          success = RemoveDirectoryA(full.c_str()) != 0;
        } else if (a & FILE_ATTRIBUTE_DIRECTORY) {
          success = DeleteDirTree(full, true);
        } else {
          success = DeleteFileA(full.c_str()) != 0;
        }
      } while (success && FindNextFileA(search, &entry));
      FindClose(search);
    }
  }
  if (!success) return false;
  ClearReadOnly(dir, Attributes(dir));
  return RemoveDirectoryA(dir.c_str()) != 0;
}

std::string ResolvedPath(const std::string& path) {
  // FILE_FLAG_BACKUP_SEMANTICS opens folders too; the handle follows links and junctions.
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "";
  std::string buf(MAX_PATH, '\0');
  DWORD n = GetFinalPathNameByHandleA(h, buf.data(), static_cast<DWORD>(buf.size()), 0);
  if (n >= buf.size()) {
    buf.resize(n + 1);
    n = GetFinalPathNameByHandleA(h, buf.data(), static_cast<DWORD>(buf.size()), 0);
  }
  CloseHandle(h);
  if (n == 0 || n >= buf.size()) return "";
  buf.resize(n);
  if (buf.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + buf.substr(8);
  if (buf.rfind("\\\\?\\", 0) == 0) return buf.substr(4);
  return buf;
}

bool WriteFileAtomic(const std::string& path, const std::string& data) {
  static std::atomic<unsigned> counter{0};
  std::string temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = path + "." + std::to_string(GetCurrentProcessId()) + "." +
           std::to_string(counter++) + ".tmp";
    file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (file == INVALID_HANDLE_VALUE) return false;

  bool ok = true;
  size_t done = 0;
  while (ok && done < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
    DWORD written = 0;
    ok = WriteFile(file, data.data() + done, chunk, &written, nullptr) && written > 0;
    done += written;
  }
  ok = ok && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  ok = ok && MoveFileExA(temp.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(temp.c_str());
  return ok;
}

std::string NativePath(const std::string& path) { return path; }

std::string ExePath() {
  std::string buf(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return "";
    if (n < buf.size()) {
      buf.resize(n);
      return buf;
    }
    buf.resize(buf.size() * 2);
  }
}

bool SetWorkDir(const std::string& dir) { return SetCurrentDirectoryA(dir.c_str()) != 0; }

bool MakeExecutable(const std::string& path) { return FileExists(path); }

bool IsExecutableFile(const std::string& path) { return FileExists(path); }
