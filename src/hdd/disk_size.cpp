#include "hdd/disk_size.h"

#include <cctype>

#include "main_func/files.h"

namespace {

// The largest disk qemu-img makes in this format (vmdk): 2 TiB.
constexpr std::uint64_t MaxDiskBytes = std::uint64_t{2} << 40;
// Below 1 MiB no system could be installed on the disk: such a size is a slip.
constexpr std::uint64_t MinDiskBytes = std::uint64_t{1} << 20;

const char* const Advice = "; use a number and K, M, G or T, at most 2T; 0 cancels";

// Digits and one unit letter into bytes; false for anything else or above MaxDiskBytes.
bool Parse(const std::string& size, std::uint64_t& bytes, bool& hasDigits) {
  std::string digits = size;
  std::uint64_t unit = 1;
  if (!digits.empty() && !std::isdigit(static_cast<unsigned char>(digits.back()))) {
    const std::string units = "kKmMgGtT";
    const size_t at = units.find(digits.back());
    if (at == std::string::npos) return false;
    unit = std::uint64_t{1} << (10 * (at / 2 + 1));
    digits.pop_back();
  }
  hasDigits = !digits.empty();
  std::uint64_t value = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > MaxDiskBytes) return false;
  }
  if (value > MaxDiskBytes / unit) return false;
  bytes = value * unit;
  return true;
}

std::uint64_t LittleEndian(const std::string& data, size_t at, int count) {
  std::uint64_t v = 0;
  for (int i = count - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[at + i]);
  return v;
}

std::uint64_t BigEndian(const std::string& data, size_t at, int count) {
  std::uint64_t v = 0;
  for (int i = 0; i < count; ++i) v = (v << 8) | static_cast<unsigned char>(data[at + i]);
  return v;
}

}  // namespace

SizeAnswer JudgeDiskSize(const std::string& size, std::uint64_t& bytes, std::string& reason) {
  static const char* const silent[] = {"", "0k", "0M", "0G", "0T", "k", "M", "G", "T"};
  for (const char* word : silent)
    if (size == word) return SizeAnswer::AskAgain;
  if (size == "0") return SizeAnswer::Cancel;
  bool hasDigits = false;
  bytes = 0;
  if (!Parse(size, bytes, hasDigits) || !hasDigits) {
    reason = "Not a size: " + size + Advice;
    return SizeAnswer::Refused;
  }
  if (bytes == 0) {
    reason = "Not a size: " + size + " is zero" + Advice;
    return SizeAnswer::Refused;
  }
  if (bytes < MinDiskBytes) {
    reason = "Too small: " + size + " is less than 1M" + Advice;
    return SizeAnswer::Refused;
  }
  return SizeAnswer::Accepted;
}

bool ReadVirtualSize(const std::string& path, std::uint64_t& bytes) {
  std::string head;
  if (!ReadFileHead(path, 32, head) || head.size() < 32) return false;
  if (head.compare(0, 4, "KDMV") == 0) {
    bytes = LittleEndian(head, 12, 8) * 512;  // capacity in sectors
    return true;
  }
  if (head.compare(0, 4, "QFI\xfb") == 0) {
    bytes = BigEndian(head, 24, 8);
    return true;
  }
  return false;
}

std::string WholeSizeText(std::uint64_t bytes) {
  static const char* const units[] = {"bytes", "KB", "MB", "GB", "TB"};
  int u = 0;
  while (u < 4 && bytes != 0 && bytes % 1024 == 0) {
    bytes /= 1024;
    ++u;
  }
  return std::to_string(bytes) + " " + units[u];
}
