// The parts of file access that are the same on every platform.
#include "main_func/files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

bool FileExistsAsNamed(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(NativePath(path), ec);
}

bool ReadWholeFile(const std::string& path, std::string& data) {
  data.clear();
  FILE* f = std::fopen(NativePath(path).c_str(), "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) data.clear();
  return ok;
}

bool ReadFileHead(const std::string& path, std::size_t count, std::string& data) {
  data.assign(count, '\0');
  FILE* f = std::fopen(NativePath(path).c_str(), "rb");
  if (!f) {
    data.clear();
    return false;
  }
  data.resize(std::fread(data.data(), 1, count, f));
  const bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) data.clear();
  return ok;
}

std::string ExeDir() {
  std::string exe = ExePath();
  size_t sep = exe.find_last_of("\\/");
  return sep == std::string::npos ? std::string() : exe.substr(0, sep + 1);
}
