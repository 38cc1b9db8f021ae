#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>

namespace {

void PrintAndAbort(const std::string& what) {
  std::fprintf(stderr, "fuzz rule broken: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace

FuzzFailure FuzzFailureHandler = PrintAndAbort;

namespace fuzz {

std::string Show(const std::string& text) {
  static const char* const Hex = "0123456789abcdef";
  std::string shown = "\"";
  const size_t limit = 200;
  for (size_t i = 0; i < text.size() && i < limit; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      shown += "\\x";
      shown += Hex[c >> 4];
      shown += Hex[c & 15];
    }
  }
  if (text.size() > limit) shown += "...(" + std::to_string(text.size()) + " bytes)";
  return shown + "\"";
}

void Fail(const std::string& what) { FuzzFailureHandler(what); }

}  // namespace fuzz
