#include "qemu_front/error_file.h"

#include "main_func/text_helpers.h"

namespace {

bool IsContinuation(const std::string& line) {
  return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

}  // namespace

bool IsWarningLine(const std::string& line) {
  if (StartsWithNoCase(line, 0, "warning:")) return true;
  // "qemu-system-x86_64: warning: ...": the program's name holds no blank.
  const std::size_t colon = line.find(": ");
  if (colon == std::string::npos || colon == 0) return false;
  if (line.find_first_of(" \t") < colon) return false;
  return StartsWithNoCase(line, colon + 2, "warning:");
}

std::string DropWarnings(const std::string& text) {
  std::string out;
  bool inWarning = false;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string::npos ? text.size() : end + 1;
    const std::string line = text.substr(start, next - start);
    if (IsWarningLine(line)) {
      inWarning = true;
    } else if (inWarning && IsContinuation(line)) {
      // still the same warning
    } else {
      inWarning = false;
      out += line;
    }
    start = next;
  }
  return out;
}
