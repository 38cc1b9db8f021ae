// The platform-neutral half of the digests.
#include "trust/digest.h"

#include <vector>

std::string DigestName(DigestKind kind) {
  return kind == DigestKind::Sha512 ? "SHA-512" : "SHA-256";
}

std::size_t DigestHexLength(DigestKind kind) { return kind == DigestKind::Sha512 ? 128 : 64; }

bool DigestFile(const std::string& path, DigestKind kind, std::string& hexLower) {
  hexLower.clear();
  SharedFileReader reader;
  Digest digest(kind);
  if (!reader.Open(path)) return false;
  std::vector<unsigned char> block(1 << 20);
  for (uint64_t offset = 0;;) {
    const int64_t n = reader.ReadAt(offset, block.data(), block.size());
    if (n < 0) return false;
    if (n == 0) break;
    if (!digest.Update(block.data(), static_cast<std::size_t>(n))) return false;
    offset += static_cast<uint64_t>(n);
  }
  return digest.Finish(hexLower);
}
