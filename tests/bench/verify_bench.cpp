// The wait after wget: a download hashed while wget writes it, against hashing it after
// wget has ended. Usage: verify_bench URL FILE [sha256|sha512]. Runs "wget --no-proxy -q -O
// FILE URL" (the wget on the PATH) with the file followed, then hashes the finished file
// again, and prints the times and whether the hashes agree.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "main_func/files.h"
#include "main_func/process.h"
#include "trust/digest.h"
#include "trust/download_hasher.h"

namespace {

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: verify_bench URL FILE [sha256|sha512]\n");
    return 2;
  }
  const std::string url = argv[1], file = argv[2];
  const DigestKind kind =
      argc > 3 && std::strcmp(argv[3], "sha512") == 0 ? DigestKind::Sha512 : DigestKind::Sha256;
  RemoveFile(file);

  DownloadHasher hasher(file, kind);
  hasher.Start();
  const auto start = std::chrono::steady_clock::now();
  const int code = RunAndWait("wget --no-proxy -q -O " + file + " " + url, ShowHidden);
  const double wget = Since(start);
  const auto ended = std::chrono::steady_clock::now();
  std::string followed;
  const bool ok = hasher.Finish(followed);
  const double waitFollowing = Since(ended);

  const auto after = std::chrono::steady_clock::now();
  std::string whole;
  const bool ok2 = DigestFile(file, kind, whole);
  const double waitAfter = Since(after);

  std::printf("%s, %.0f MiB: wget %.2f s (exit %d); wait after wget: %.3f s hashed while "
              "downloading, %.3f s hashed after the download; hashes %s\n",
              DigestName(kind).c_str(), static_cast<double>(FileSize64(file)) / 1048576.0, wget,
              code, waitFollowing, waitAfter, ok && ok2 && followed == whole ? "agree" : "DIFFER");
  RemoveFile(file);
  return ok && ok2 && followed == whole && code == 0 ? 0 : 1;
}
