// SHA-256 with Windows' own cryptography (CNG).
#include "trust/sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

namespace {

constexpr DWORD BlockSize = 1 << 20;

bool Ok(NTSTATUS status) { return status >= 0; }

// Closes what was opened, in reverse order, on every way out.
struct Handles {
  HANDLE file = INVALID_HANDLE_VALUE;
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~Handles() {
    if (hash) BCryptDestroyHash(hash);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

}  // namespace

bool Sha256File(const std::string& path, std::string& hexLower) {
  hexLower.clear();
  Handles h;
  // Others may go on reading the file (an antivirus scanner, say) while it is hashed.
  h.file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h.file == INVALID_HANDLE_VALUE) return false;
  if (!Ok(BCryptOpenAlgorithmProvider(&h.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
      !Ok(BCryptCreateHash(h.algorithm, &h.hash, nullptr, 0, nullptr, 0, 0)))
    return false;
  std::vector<unsigned char> block(BlockSize);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h.file, block.data(), BlockSize, &n, nullptr)) return false;
    if (n == 0) break;
    if (!Ok(BCryptHashData(h.hash, block.data(), n, 0))) return false;
  }
  unsigned char digest[32];
  if (!Ok(BCryptFinishHash(h.hash, digest, sizeof digest, 0))) return false;
  hexLower = HexText(digest, sizeof digest);
  return true;
}
