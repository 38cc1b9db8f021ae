// ECDSA P-256 verification with Windows' own cryptography (CNG).
#include <windows.h>
#include <bcrypt.h>

#include <cstring>
#include <vector>

#include "trust/signature.h"

namespace {

bool Ok(NTSTATUS status) { return status >= 0; }

// Closes what was opened, in reverse order, on every way out.
struct Handles {
  BCRYPT_ALG_HANDLE sha256 = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  BCRYPT_ALG_HANDLE ecdsa = nullptr;
  BCRYPT_KEY_HANDLE key = nullptr;
  ~Handles() {
    if (key) BCryptDestroyKey(key);
    if (ecdsa) BCryptCloseAlgorithmProvider(ecdsa, 0);
    if (hash) BCryptDestroyHash(hash);
    if (sha256) BCryptCloseAlgorithmProvider(sha256, 0);
  }
};

}  // namespace

bool VerifyP256Raw(const std::string& data, const unsigned char* signature,
                   const unsigned char* point) {
  Handles h;
  unsigned char digest[32];
  if (!Ok(BCryptOpenAlgorithmProvider(&h.sha256, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
      !Ok(BCryptCreateHash(h.sha256, &h.hash, nullptr, 0, nullptr, 0, 0)) ||
      !Ok(BCryptHashData(h.hash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())),
                         static_cast<ULONG>(data.size()), 0)) ||
      !Ok(BCryptFinishHash(h.hash, digest, sizeof digest, 0)))
    return false;

  // The public blob: its header, then X and Y without the point's leading 04.
  std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64);
  BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob.data(), &header, sizeof header);
  std::memcpy(blob.data() + sizeof header, point + 1, 64);
  if (!Ok(BCryptOpenAlgorithmProvider(&h.ecdsa, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0)) ||
      !Ok(BCryptImportKeyPair(h.ecdsa, nullptr, BCRYPT_ECCPUBLIC_BLOB, &h.key, blob.data(),
                              static_cast<ULONG>(blob.size()), 0)))
    return false;
  return Ok(BCryptVerifySignature(h.key, nullptr, digest, sizeof digest,
                                  const_cast<PUCHAR>(signature), 64, 0));
}
