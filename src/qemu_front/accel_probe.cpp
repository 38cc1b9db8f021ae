#include "qemu_front/accel_probe.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "main_func/command_words.h"
#include "main_func/files.h"
#include "main_func/process.h"
#include "qemu_front/processors.h"

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

// What identifies the QEMU the cached answer belongs to, and the host's kernel (whose KVM
// the start check below tried); "" when the QEMU cannot be read.
std::string CacheKey(const std::string& qemu) {
  std::error_code ec;
  const fs::path path(NativePath(qemu));
  const auto size = fs::file_size(path, ec);
  if (ec) return "";
  const auto time = fs::last_write_time(path, ec);
  if (ec) return "";
  std::string kernel;  // Linux; nothing elsewhere
  ReadWholeFile("/proc/sys/kernel/osrelease", kernel);
  kernel.erase(std::remove_if(kernel.begin(), kernel.end(), [](char c) { return c == '\n' || c == '\r'; }),
               kernel.end());
  return qemu + "|" + std::to_string(size) + "|" + std::to_string(time.time_since_epoch().count()) + "|" +
         kernel;
}

// Whether KVM starts a processor of the model a guest gets when KVM is chosen with TCG
// behind it (processors.cpp):
// QEMU builds the machine without running it (-S) and quits on its monitor's "quit".
// A host can list KVM and open /dev/kvm, yet refuse the registers QEMU sets for that model
// (nested KVM: "failed to set MSR 0x10a", then QEMU aborts), on every launch; QEMU takes
// the next -accel only when KVM itself fails to start, so the choice must be made here.
bool KvmStarts(const std::string& qemu, const std::string& dir) {
  const std::string inputPath = dir + "accel.in";
  const std::string answerPath = dir + "accel.txt";
  if (!WriteFileAtomic(inputPath, "quit\n")) return false;
  const std::string model = CpuModel({"-accel", "kvm", "-accel", "tcg"});
  const int code = RunRedirected(JoinWords({qemu, "-accel", "kvm", "-cpu", model, "-smp", "1", "-nodefaults",
                                            "-display", "none", "-S", "-monitor", "stdio"}),
                                 "", inputPath, answerPath, answerPath);
  RemoveFile(inputPath);
  RemoveFile(answerPath);
  return code == 0;
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
  std::vector<std::string> names = code == 0 ? ParseAccelHelp(answer) : std::vector<std::string>{};
  const auto kvm = std::find(names.begin(), names.end(), "kvm");
  if (kvm != names.end() && !KvmStarts(qemu, dir)) names.erase(kvm);
  // Only an answer is kept: a QEMU that failed once is asked again next time.
  if (!key.empty() && !names.empty()) {
    std::string text = key + "\n";
    for (const std::string& n : names) text += n + "\n";
    WriteFileAtomic(cachePath, text);
  }
  return names;
}
