#include "trust/download_hasher.h"

#include <chrono>
#include <vector>

namespace {

// How long the follower waits for the writer when it has caught up.
constexpr auto IdleWait = std::chrono::milliseconds(20);
constexpr auto SlowAfter = std::chrono::seconds(1);
constexpr auto ProgressEvery = std::chrono::milliseconds(250);

}  // namespace

DownloadHasher::DownloadHasher(const std::string& path, DigestKind kind)
    : path_(path), digest_(kind) {}

DownloadHasher::~DownloadHasher() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void DownloadHasher::Start() {
  if (!thread_.joinable()) thread_ = std::thread([this] { Follow(); });
}

bool DownloadHasher::CatchUp(const std::atomic<bool>* stop, const Progress* progress) {
  if (!reader_.IsOpen() && !reader_.Open(path_)) return true;  // not there yet
  const int64_t size = reader_.Size();
  if (size < 0) return false;
  if (static_cast<uint64_t>(size) < offset_) {
    digest_.Restart();
    offset_ = 0;
  }
  const uint64_t start = offset_;
  const auto began = std::chrono::steady_clock::now();
  auto shown = began;
  std::vector<unsigned char> block(ReadBlockSize);
  while (offset_ < static_cast<uint64_t>(size) && !(stop && *stop)) {
    const uint64_t left = static_cast<uint64_t>(size) - offset_;
    const int64_t n = reader_.ReadAt(offset_, block.data(), left < ReadBlockSize ? left : ReadBlockSize);
    if (n < 0) return false;
    if (n == 0) break;  // cut short under us: the next look sees the smaller size
    if (!digest_.Update(block.data(), static_cast<std::size_t>(n))) return false;
    offset_ += static_cast<uint64_t>(n);
    if (progress && *progress) {
      const auto now = std::chrono::steady_clock::now();
      if (now - began > SlowAfter && now - shown >= ProgressEvery) {
        (*progress)(offset_ - start, static_cast<uint64_t>(size) - start);
        shown = now;
      }
    }
  }
  return true;
}

void DownloadHasher::Follow() {
  while (!stop_) {
    const uint64_t before = offset_;
    if (!CatchUp(&stop_, nullptr)) {
      failed_ = true;
      return;
    }
    if (offset_ == before) std::this_thread::sleep_for(IdleWait);
  }
}

bool DownloadHasher::Finish(std::string& hexLower, const Progress& progress) {
  hexLower.clear();
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (failed_) return false;
  if (!CatchUp(nullptr, &progress) || !reader_.IsOpen()) return false;
  reader_.Close();
  return digest_.Finish(hexLower);
}
