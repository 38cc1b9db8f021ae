#include "support/transcript.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

std::string NormalizeLineEnds(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string ShowLine(const std::string& line) {
  std::string shown = "\"";
  for (unsigned char c : line) {
    if (c == '"' || c == '\\') {
      shown += '\\';
      shown += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      shown += escaped;
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown + "\"";
}

namespace {

void ShowContext(std::ostringstream& report, const char* title, const std::vector<std::string>& lines,
                 size_t from, size_t to) {
  report << "  " << title << ":\n";
  for (size_t i = from; i < to && i < lines.size(); ++i) {
    report << "    " << (i + 1) << ": " << ShowLine(lines[i]) << "\n";
  }
  if (to > lines.size()) report << "    (end of transcript after line " << lines.size() << ")\n";
}

}  // namespace

::testing::AssertionResult SameTranscript(const std::string& expected, const std::string& actual) {
  const std::vector<std::string> want = Lines(expected);
  const std::vector<std::string> got = Lines(actual);
  const size_t common = std::min(want.size(), got.size());
  size_t first = 0;
  while (first < common && want[first] == got[first]) ++first;
  if (first == want.size() && first == got.size()) return ::testing::AssertionSuccess();

  std::ostringstream report;
  report << "transcripts differ at line " << (first + 1) << " (expected " << want.size()
         << " lines, got " << got.size() << ")\n";
  report << "  expected: "
         << (first < want.size() ? ShowLine(want[first]) : std::string("(no more lines)")) << "\n";
  report << "  actual:   "
         << (first < got.size() ? ShowLine(got[first]) : std::string("(no more lines)")) << "\n";
  const size_t from = first >= 3 ? first - 3 : 0;
  ShowContext(report, "expected around it", want, from, first + 4);
  ShowContext(report, "actual around it", got, from, first + 4);
  return ::testing::AssertionFailure() << report.str();
}
