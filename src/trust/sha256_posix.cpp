// SHA-256 with OpenSSL's libcrypto.
#include "trust/sha256.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "main_func/path_map_posix.h"

namespace {

constexpr std::size_t BlockSize = 1 << 20;

struct FdCloser {
  int fd;
  ~FdCloser() { close(fd); }
};

}  // namespace

bool Sha256File(const std::string& path, std::string& hexLower) {
  hexLower.clear();
  const int fd = open(MapSlashes(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const FdCloser closer{fd};
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) return false;

  const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(),
                                                                     &EVP_MD_CTX_free);
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return false;
  std::vector<unsigned char> block(BlockSize);
  for (;;) {
    const ssize_t n = read(fd, block.data(), block.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    if (EVP_DigestUpdate(ctx.get(), block.data(), static_cast<std::size_t>(n)) != 1) return false;
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1 || length != 32) return false;
  hexLower = HexText(digest, length);
  return true;
}
