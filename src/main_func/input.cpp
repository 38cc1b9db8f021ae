#include "main_func/input.h"

#include "c_api/console.h"

namespace {
std::FILE* input = nullptr;
bool inputEnded = false;
std::FILE* In() { return input ? input : stdin; }

// Standard input is made ready once, before its first read.
bool ReadsConsole() {
  static const bool console = [] {
    InputInit();
    return InputIsConsole();
  }();
  return console;
}

}  // namespace

bool ReadLine(std::string& line) {
  line.clear();
  std::fflush(stdout);
  if (inputEnded) return false;
  if (!input && ReadsConsole()) {
    if (!ReadConsoleLine(line)) inputEnded = true;
    return !inputEnded;
  }
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
  if (!input && !inputEnded) NoteTypedLine(line);
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
