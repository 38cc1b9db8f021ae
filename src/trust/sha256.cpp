// The platform-neutral half of SHA-256: comparing the texts.
#include "trust/sha256.h"

#include <cctype>

namespace {

int Lower(char c) { return std::tolower(static_cast<unsigned char>(c)); }

}  // namespace

std::string HexText(const unsigned char* bytes, unsigned length) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (unsigned i = 0; i < length; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 0x0f];
  }
  return text;
}

bool IsSha256Text(const std::string& text) {
  if (text.size() != 64) return false;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool Sha256Equal(const std::string& a, const std::string& b) {
  if (!IsSha256Text(a) || !IsSha256Text(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool FileHasSha256(const std::string& path, const std::string& expected) {
  std::string actual;
  return Sha256File(path, actual) && Sha256Equal(actual, expected);
}
