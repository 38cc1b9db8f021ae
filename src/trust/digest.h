// SHA-256 and SHA-512 with the platform's own cryptography (CNG, libcrypto): of whole files,
// for checking downloads and installed files against the hashes that the catalogue, the
// publishers and the update server publish, and incrementally, for hashing a download as it
// arrives in a file that another program may still be writing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class DigestKind { Sha256, Sha512 };

// Files are hashed in blocks of this size: few reads, little memory.
constexpr std::size_t ReadBlockSize = 1 << 20;

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

  // Whether another program may write the file while it is read: wget goes on writing a
  // download; a finished file is read only while no one writes it. Windows enforces this,
  // POSIX has no such lock.
  enum class Sharing { WithWriters, ReadersOnly };

  // False when there is no such file (or it is a folder) or it cannot be opened.
  bool Open(const std::string& path, Sharing sharing = Sharing::WithWriters);
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

// Hashes a whole file, read in blocks of 1 MiB, into lower-case hexadecimal; false (and
// hexLower empty) when the file cannot be opened or read, or is a folder.
bool DigestFile(const std::string& path, DigestKind kind, std::string& hexLower,
                SharedFileReader::Sharing sharing = SharedFileReader::Sharing::WithWriters);

// True when the file, which no one writes, has the expected SHA-256.
bool FileHasSha256(const std::string& path, const std::string& expected);

// True for a hash of that kind in hexadecimal (64 or 128 digits), in either letter case.
bool IsHashText(DigestKind kind, const std::string& text);

// True when both are hashes of that kind in hexadecimal naming the same hash, letter case
// aside. A malformed text never equals anything, so a broken published hash refuses rather
// than passes.
bool SameHash(DigestKind kind, const std::string& a, const std::string& b);

// Bytes as lower-case hexadecimal, as the platform halves hand their digests back.
std::string HexText(const unsigned char* bytes, unsigned length);
