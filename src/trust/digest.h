// Incremental SHA-256 and SHA-512 with the platform's own cryptography (CNG, libcrypto), and
// reading a file that another program may still be writing, for hashing a download as it
// arrives.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class DigestKind { Sha256, Sha512 };

// "SHA-256" or "SHA-512", as screens name them.
std::string DigestName(DigestKind kind);
// 64 or 128: the length of the hash in hexadecimal characters.
std::size_t DigestHexLength(DigestKind kind);

class Digest {
 public:
  explicit Digest(DigestKind kind);
  ~Digest();
  Digest(const Digest&) = delete;
  Digest& operator=(const Digest&) = delete;

  DigestKind Kind() const { return kind_; }
  // False once anything failed; a failed digest never finishes.
  bool Update(const void* data, std::size_t length);
  // Forgets everything hashed so far.
  bool Restart();
  // The hash in lower-case hexadecimal; the digest then starts over.
  bool Finish(std::string& hexLower);

 private:
  struct State;
  DigestKind kind_;
  std::unique_ptr<State> state_;
};

// A file opened for reading only, shared with a writer that may go on appending to it or
// start it again from the first byte.
class SharedFileReader {
 public:
  SharedFileReader();
  ~SharedFileReader();
  SharedFileReader(const SharedFileReader&) = delete;
  SharedFileReader& operator=(const SharedFileReader&) = delete;

  // False when there is no such file (or it is a folder) or it cannot be opened.
  bool Open(const std::string& path);
  bool IsOpen() const;
  void Close();
  // The file's size now; -1 when it cannot be told.
  int64_t Size() const;
  // Reads up to length bytes at offset; the count read, 0 at the end, -1 on an error.
  int64_t ReadAt(uint64_t offset, void* buffer, std::size_t length);

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

// Hashes a whole file; false when it cannot be read.
bool DigestFile(const std::string& path, DigestKind kind, std::string& hexLower);
