#include "updater/package_paths.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

#include "main_func/files.h"

namespace {

// The archive's own directory is far smaller than this for any package we make.
constexpr std::uint64_t MaxDirectorySize = 64ull << 20;

std::uint64_t Le(const std::string& data, std::size_t at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(data[at + static_cast<std::size_t>(i)]);
  return value;
}

bool ReadAt(std::ifstream& in, std::uint64_t offset, std::uint64_t count, std::string& data) {
  data.assign(static_cast<std::size_t>(count), '\0');
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  return static_cast<bool>(in.read(data.data(), static_cast<std::streamsize>(count)));
}

bool LeavesFolder(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.empty() || name[0] == '/' || name.find(':') != std::string::npos) return true;
  for (std::size_t start = 0; start <= name.size();) {
    std::size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0 && end - start == 2) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::string PathOutsidePackage(const std::string& zipPath) {
  const std::uint64_t size = FileSize64(zipPath);
  std::ifstream in(NativePath(zipPath), std::ios::binary);
  std::string tail;
  if (!in || size < 22) return "";
  const std::uint64_t tailSize = std::min<std::uint64_t>(size, 22 + 65535);
  if (!ReadAt(in, size - tailSize, tailSize, tail)) return "";
  const std::size_t end = tail.rfind(std::string("PK\x05\x06", 4));
  if (end == std::string::npos || end + 22 > tail.size()) return "";
  std::uint64_t dirSize = Le(tail, end + 12, 4);
  std::uint64_t dirOffset = Le(tail, end + 16, 4);
  if (dirSize == 0xFFFFFFFF || dirOffset == 0xFFFFFFFF) {  // ZIP64: the real figures lie before
    std::string record;
    if (end < 20 || tail.compare(end - 20, 4, std::string("PK\x06\x07", 4)) != 0 ||
        !ReadAt(in, Le(tail, end - 20 + 8, 8), 56, record) ||
        record.compare(0, 4, std::string("PK\x06\x06", 4)) != 0)
      return "";
    dirSize = Le(record, 40, 8);
    dirOffset = Le(record, 48, 8);
  }
  std::string dir;
  if (dirSize > MaxDirectorySize || dirOffset > size || dirSize > size - dirOffset ||
      !ReadAt(in, dirOffset, dirSize, dir))
    return "";
  for (std::size_t at = 0; at + 46 <= dir.size() && dir.compare(at, 4, "PK\x01\x02") == 0;) {
    const std::size_t nameSize = static_cast<std::size_t>(Le(dir, at + 28, 2));
    const std::size_t next = at + 46 + nameSize + static_cast<std::size_t>(Le(dir, at + 30, 2)) +
                             static_cast<std::size_t>(Le(dir, at + 32, 2));
    if (at + 46 + nameSize > dir.size()) break;
    const std::string name = dir.substr(at + 46, nameSize);
    // Made on Unix (3), with the file type of a symbolic link in its mode.
    const bool link = Le(dir, at + 5, 1) == 3 && ((Le(dir, at + 38, 4) >> 16) & 0170000) == 0120000;
    if (link || LeavesFolder(name)) return name;
    at = next;
  }
  return "";
}
