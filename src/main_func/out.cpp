#include "main_func/out.h"

#include "c_api/console.h"
#include "c_api/text.h"

namespace {
std::FILE* output = nullptr;

// Every screen text passes here, so nothing from a catalogue, Own.ini or the user reaches
// the terminal as a control sequence: control characters and bytes that are not UTF-8 show
// as "?".
void Write(const std::string& text, bool lineEnd) {
  std::string shown = ShownText(text);
  if (lineEnd) shown += '\n';
  if (output) {
    std::fwrite(shown.data(), 1, shown.size(), output);
  } else {
    ConsoleWrite(shown);
  }
}

}  // namespace

void WriteLine(const std::string& text) { Write(text, true); }

void WriteText(const std::string& text) {
  Write(text, false);
  std::fflush(output ? output : stdout);
}

void SetOutputStream(std::FILE* stream) { output = stream; }
