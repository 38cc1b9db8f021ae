// Digests with OpenSSL's libcrypto; files through POSIX descriptors.
#include "trust/digest.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "main_func/path_map_posix.h"

struct Digest::State {
  EVP_MD_CTX* ctx = nullptr;
  bool ok = false;
  ~State() { EVP_MD_CTX_free(ctx); }
};

namespace {

const EVP_MD* Algorithm(DigestKind kind) {
  return kind == DigestKind::Sha512 ? EVP_sha512() : EVP_sha256();
}

}  // namespace

Digest::Digest(DigestKind kind) : kind_(kind), state_(std::make_unique<State>()) {
  state_->ctx = EVP_MD_CTX_new();
  Restart();
}

Digest::~Digest() = default;

bool Digest::Restart() {
  state_->ok = state_->ctx && EVP_DigestInit_ex(state_->ctx, Algorithm(kind_), nullptr) == 1;
  return state_->ok;
}

bool Digest::Update(const void* data, std::size_t length) {
  if (state_->ok && length > 0) state_->ok = EVP_DigestUpdate(state_->ctx, data, length) == 1;
  return state_->ok;
}

bool Digest::Finish(std::string& hexLower) {
  hexLower.clear();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  const bool ok = state_->ok && EVP_DigestFinal_ex(state_->ctx, digest, &length) == 1 &&
                  length * 2 == DigestHexLength(kind_);
  if (ok) hexLower = HexText(digest, length);
  Restart();
  return ok;
}

struct SharedFileReader::Handle {
  int fd = -1;
};

SharedFileReader::SharedFileReader() : handle_(std::make_unique<Handle>()) {}
SharedFileReader::~SharedFileReader() { Close(); }

// POSIX has no locks that keep writers out; a reader sees what was written so far.
bool SharedFileReader::Open(const std::string& path, Sharing) {
  Close();
  const int fd = open(MapSlashes(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return false;
  }
  handle_->fd = fd;
  return true;
}

bool SharedFileReader::IsOpen() const { return handle_->fd >= 0; }

void SharedFileReader::Close() {
  if (handle_->fd >= 0) close(handle_->fd);
  handle_->fd = -1;
}

int64_t SharedFileReader::Size() const {
  struct stat st {};
  if (handle_->fd < 0 || fstat(handle_->fd, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

int64_t SharedFileReader::ReadAt(uint64_t offset, void* buffer, std::size_t length) {
  if (handle_->fd < 0) return -1;
  for (;;) {
    const ssize_t n = pread(handle_->fd, buffer, length, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? -1 : static_cast<int64_t>(n);
  }
}
