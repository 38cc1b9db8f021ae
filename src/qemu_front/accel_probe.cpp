#include "qemu_front/accel_probe.h"

#include <filesystem>
#include <system_error>

#include "main_func/command_words.h"
#include "main_func/files.h"
#include "main_func/process.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// What identifies the QEMU the cached answer belongs to; "" when it cannot be read.
std::string CacheKey(const std::string& qemu) {
  std::error_code ec;
  const fs::path path(NativePath(qemu));
  const auto size = fs::file_size(path, ec);
  if (ec) return "";
  const auto time = fs::last_write_time(path, ec);
  if (ec) return "";
  return qemu + "|" + std::to_string(size) + "|" +
         std::to_string(time.time_since_epoch().count());
}

}  // namespace

std::vector<std::string> ParseAccelHelp(const std::string& output) {
  std::vector<std::string> names;
  bool listing = false;
  for (const std::string& line : Lines(output)) {
    if (line.find("Accelerators supported") != std::string::npos) {
      listing = true;
      continue;
    }
    const std::size_t first = line.find_first_not_of(" \t");
    if (!listing || first == std::string::npos) continue;
    const std::string name = line.substr(first);
    if (name.find_first_of(" \t:") != std::string::npos) break;  // past the list
    names.push_back(name);
  }
  return names;
}

std::vector<std::string> ProbeAccelerators(const std::string& qemu, const std::string& dir) {
  // The cache: the key on its first line, then one accelerator a line.
  const std::string cachePath = dir + "accel.cache";
  const std::string key = CacheKey(qemu);
  std::string cached;
  if (!key.empty() && ReadWholeFile(cachePath, cached)) {
    std::vector<std::string> lines = Lines(cached);
    if (!lines.empty() && lines[0] == key) {
      lines.erase(lines.begin());
      while (!lines.empty() && lines.back().empty()) lines.pop_back();
      return lines;
    }
  }
  const std::string answerPath = dir + "accel.txt";
  const int code = RunRedirected(JoinWords({qemu, "-accel", "help"}), "", "", answerPath, answerPath);
  std::string answer;
  ReadWholeFile(answerPath, answer);
  RemoveFile(answerPath);
  const std::vector<std::string> names = code == 0 ? ParseAccelHelp(answer) : std::vector<std::string>{};
  // Only an answer is kept: a QEMU that failed once is asked again next time.
  if (!key.empty() && !names.empty()) {
    std::string text = key + "\n";
    for (const std::string& n : names) text += n + "\n";
    WriteFileAtomic(cachePath, text);
  }
  return names;
}
