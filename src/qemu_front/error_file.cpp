#include "qemu_front/error_file.h"

#include <array>

namespace {

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

bool IsProbeWarning(const std::string& line) {
  return Contains(line, "WARNING: Image format was not specified for ") &&
         Contains(line, "and probing guessed raw.");
}

bool IsProbeContinuation(const std::string& line) {
  static const std::array<const char*, 2> texts = {
      "Automatically detecting the format is dangerous for raw images, write operations on "
      "block 0 will be restricted.",
      "Specify the 'raw' format explicitly to remove the restrictions."};
  if (line.empty() || (line[0] != ' ' && line[0] != '\t')) return false;
  for (const char* t : texts) {
    if (Contains(line, t)) return true;
  }
  return false;
}

}  // namespace

std::string DropRawProbeWarnings(const std::string& text) {
  std::string out;
  bool inWarning = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    size_t next = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(start, next - start);
    if (IsProbeWarning(line)) {
      inWarning = true;
    } else if (inWarning && IsProbeContinuation(line)) {
      // still the same notice
    } else {
      inWarning = false;
      out += line;
    }
    start = next;
  }
  return out;
}
