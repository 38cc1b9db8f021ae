// Times the program's SHA-256 of one file. Usage: sha256_bench FILE [RUNS]. Prints the hash,
// then the median time of the runs and the rate in MB/s (10^6 bytes a second).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "trust/digest.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: sha256_bench FILE [RUNS]\n");
    return 2;
  }
  const std::string path = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(path, ec);
  if (ec) {
    std::fprintf(stderr, "sha256_bench: %s: %s\n", path.c_str(), ec.message().c_str());
    return 1;
  }
  std::string hex;
  std::vector<double> seconds;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!DigestFile(path, DigestKind::Sha256, hex)) {
      std::fprintf(stderr, "sha256_bench: cannot hash %s\n", path.c_str());
      return 1;
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    seconds.push_back(std::chrono::duration<double>(elapsed).count());
  }
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  std::printf("%s\n%.3f s, %.0f MB/s\n", hex.c_str(), median,
              static_cast<double>(bytes) / median / 1e6);
  return 0;
}
