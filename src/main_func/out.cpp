#include "main_func/out.h"

namespace {
std::FILE* output = nullptr;
std::FILE* Out() { return output ? output : stdout; }
}  // namespace

void WriteLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), Out());
  std::fputc('\n', Out());
}

void WriteText(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), Out());
  std::fflush(Out());
}

void SetOutputStream(std::FILE* stream) { output = stream; }
