// The platform-neutral half of the digests.
#include "trust/digest.h"

#include "main_func/text_helpers.h"

#include <vector>

std::string DigestName(DigestKind kind) {
  return kind == DigestKind::Sha512 ? "SHA-512" : "SHA-256";
}

std::size_t DigestHexLength(DigestKind kind) { return kind == DigestKind::Sha512 ? 128 : 64; }

bool DigestFile(const std::string& path, DigestKind kind, std::string& hexLower,
                SharedFileReader::Sharing sharing) {
  hexLower.clear();
  SharedFileReader reader;
  Digest digest(kind);
  if (!reader.Open(path, sharing)) return false;
  std::vector<unsigned char> block(ReadBlockSize);
  for (uint64_t offset = 0;;) {
    const int64_t n = reader.ReadAt(offset, block.data(), block.size());
    if (n < 0) return false;
    if (n == 0) break;
    if (!digest.Update(block.data(), static_cast<std::size_t>(n))) return false;
    offset += static_cast<uint64_t>(n);
  }
  return digest.Finish(hexLower);
}

bool FileHasSha256(const std::string& path, const std::string& expected) {
  std::string actual;
  return DigestFile(path, DigestKind::Sha256, actual, SharedFileReader::Sharing::ReadersOnly) &&
         SameHash(DigestKind::Sha256, actual, expected);
}

bool IsHashText(DigestKind kind, const std::string& text) {
  if (text.size() != DigestHexLength(kind)) return false;
  for (char c : text) {
    if (HexDigit(c) < 0) return false;
  }
  return true;
}

bool SameHash(DigestKind kind, const std::string& a, const std::string& b) {
  if (!IsHashText(kind, a) || !IsHashText(kind, b)) return false;
  return SameNoCase(a, b);
}

std::string HexText(const unsigned char* bytes, unsigned length) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (unsigned i = 0; i < length; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 0x0f];
  }
  return text;
}
