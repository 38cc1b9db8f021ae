// Hashing a file while another program (wget) writes it, so that once the writer has ended
// only its last blocks remain to be hashed.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "trust/digest.h"

class DownloadHasher {
 public:
  // Told how far the remaining hashing has got, at most a few times a second, and only once
  // it has taken longer than a second.
  using Progress = std::function<void(uint64_t done, uint64_t total)>;

  DownloadHasher(const std::string& path, DigestKind kind);
  ~DownloadHasher();
  DownloadHasher(const DownloadHasher&) = delete;
  DownloadHasher& operator=(const DownloadHasher&) = delete;

  // Starts following the file in the background: the part already there first (a continued
  // download), then each new block. When the file shrinks, the writer started it again from
  // its first byte, and so does the hash.
  void Start();
  // Stops following, hashes what is left up to the file's end now, and gives the hash of the
  // whole file; false when the file could not be read.
  bool Finish(std::string& hexLower, const Progress& progress = nullptr);

 private:
  // Hashes what the file holds beyond offset_; false on a read error.
  bool CatchUp(const std::atomic<bool>* stop, const Progress* progress);
  void Follow();

  std::string path_;
  Digest digest_;
  SharedFileReader reader_;
  uint64_t offset_ = 0;
  bool failed_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
