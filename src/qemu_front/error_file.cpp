#include "qemu_front/error_file.h"

namespace {

bool StartsWithNoCase(const std::string& text, std::size_t at, const char* word) {
  for (std::size_t i = 0; word[i] != '\0'; ++i, ++at) {
    if (at >= text.size()) return false;
    char c = text[at];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return true;
}

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
