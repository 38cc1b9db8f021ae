// Small helpers of the fuzz targets: taking typed values off the input, a deterministic
// random sequence, and rule checks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_targets.h"

namespace fuzz {

// Reads values off the front of the input; past its end every value is zero or empty.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  int32_t Int32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
    return static_cast<int32_t>(v);
  }
  // A string of up to maxLength bytes, its length taken from the input first.
  std::string String(size_t maxLength) {
    size_t length = static_cast<size_t>(Byte()) | (static_cast<size_t>(Byte()) << 8);
    if (maxLength > 0) length %= maxLength + 1;
    else length = 0;
    return Take(length);
  }
  std::string Take(size_t length) {
    if (length > size_ - pos_) length = size_ - pos_;
    std::string s(reinterpret_cast<const char*>(data_ + pos_), length);
    pos_ += length;
    return s;
  }
  std::string Rest() { return Take(size_ - pos_); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// splitmix64: the same sequence for the same seed on every platform.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }

 private:
  uint64_t state_;
};

inline uint64_t Hash(const std::string& s) {
  uint64_t h = 1469598103934665603ULL;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ULL;
  return h;
}

// A visible form of a text for failure reports.
std::string Show(const std::string& text);

// Reports a broken rule.
void Fail(const std::string& what);

}  // namespace fuzz

// The description is built only when the rule is broken.
#define FUZZ_CHECK(ok, what)       \
  do {                             \
    if (!(ok)) ::fuzz::Fail(what); \
  } while (false)
