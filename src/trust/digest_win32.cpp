// Digests with Windows' own cryptography (CNG); files through Win32 handles.
#include "trust/digest.h"

#include <windows.h>
#include <bcrypt.h>

struct Digest::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = false;
  ~State() {
    if (hash) BCryptDestroyHash(hash);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

namespace {

bool Ok(NTSTATUS status) { return status >= 0; }

}  // namespace

Digest::Digest(DigestKind kind) : kind_(kind), state_(std::make_unique<State>()) {
  const wchar_t* name = kind == DigestKind::Sha512 ? BCRYPT_SHA512_ALGORITHM
                                                   : BCRYPT_SHA256_ALGORITHM;
  if (!Ok(BCryptOpenAlgorithmProvider(&state_->algorithm, name, nullptr, 0)))
    state_->algorithm = nullptr;
  Restart();
}

Digest::~Digest() = default;

bool Digest::Restart() {
  if (state_->hash) BCryptDestroyHash(state_->hash);
  state_->hash = nullptr;
  state_->ok = state_->algorithm &&
               Ok(BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0));
  if (!state_->ok) state_->hash = nullptr;
  return state_->ok;
}

bool Digest::Update(const void* data, std::size_t length) {
  // CNG takes at most a ULONG at a time.
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  while (state_->ok && length > 0) {
    const ULONG part = length > 0x40000000 ? 0x40000000 : static_cast<ULONG>(length);
    state_->ok = Ok(BCryptHashData(state_->hash, const_cast<PUCHAR>(bytes), part, 0));
    bytes += part;
    length -= part;
  }
  return state_->ok;
}

bool Digest::Finish(std::string& hexLower) {
  hexLower.clear();
  unsigned char digest[64];
  const ULONG length = static_cast<ULONG>(DigestHexLength(kind_) / 2);
  const bool ok = state_->ok && Ok(BCryptFinishHash(state_->hash, digest, length, 0));
  if (ok) hexLower = HexText(digest, length);
  Restart();
  return ok;
}

struct SharedFileReader::Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
};

SharedFileReader::SharedFileReader() : handle_(std::make_unique<Handle>()) {}
SharedFileReader::~SharedFileReader() { Close(); }

bool SharedFileReader::Open(const std::string& path, Sharing sharing) {
  Close();
  // The writer (wget) keeps the file open for writing; it may also be renamed or removed.
  // Others may go on reading a finished file (an antivirus scanner, say) while it is hashed.
  const DWORD share = sharing == Sharing::WithWriters
                          ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                          : FILE_SHARE_READ | FILE_SHARE_DELETE;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(file);
    return false;
  }
  handle_->file = file;
  return true;
}

bool SharedFileReader::IsOpen() const { return handle_->file != INVALID_HANDLE_VALUE; }

void SharedFileReader::Close() {
  if (handle_->file != INVALID_HANDLE_VALUE) CloseHandle(handle_->file);
  handle_->file = INVALID_HANDLE_VALUE;
}

int64_t SharedFileReader::Size() const {
  LARGE_INTEGER size{};
  if (handle_->file == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle_->file, &size)) return -1;
  return size.QuadPart;
}

int64_t SharedFileReader::ReadAt(uint64_t offset, void* buffer, std::size_t length) {
  if (handle_->file == INVALID_HANDLE_VALUE) return -1;
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xffffffffu);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  const DWORD want = length > 0x40000000 ? 0x40000000 : static_cast<DWORD>(length);
  DWORD got = 0;
  if (!ReadFile(handle_->file, buffer, want, &got, &at)) {
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  }
  return got;
}
