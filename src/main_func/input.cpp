#include "main_func/input.h"

namespace {
std::FILE* input = nullptr;
bool inputEnded = false;
std::FILE* In() { return input ? input : stdin; }
}  // namespace

bool ReadLine(std::string& line) {
  line.clear();
  std::fflush(stdout);
  if (inputEnded) return false;
  for (;;) {
    const int c = std::fgetc(In());
    if (c == EOF) {
      // A last line without a line end still counts as a line.
      inputEnded = true;
      if (line.empty()) return false;
      break;
    }
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  // Consoles and pseudo-terminals under Windows end lines with CR LF.
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void WaitForEnter() {
  std::string ignored;
  ReadLine(ignored);
}

bool InputEnded() { return inputEnded; }

void SetInputStream(std::FILE* stream) {
  input = stream;
  inputEnded = false;
}
