#include "support/temp_dir.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "main_func/files.h"
#include "support/transcript.h"

namespace fs = std::filesystem;

std::string ReadBinary(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBinary(const fs::path& file, const std::string& data) {
  if (file.has_parent_path()) fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw std::runtime_error("test: cannot write " + file.string());
}

fs::path NativeRelative(const std::string& relPath) {
  std::string portable = relPath;
  for (char& c : portable) {
    if (c == '\\') c = '/';
  }
  fs::path result(portable);
  result.make_preferred();
  return result;
}

std::string FakeToolPath() {
#ifdef _WIN32
  return ExeDir() + "fake_tool.exe";
#else
  return ExeDir() + "fake_tool";
#endif
}

TempDir::TempDir(const std::string& prefix) {
  // Parallel test programs never share a folder.
  std::random_device device;
  std::mt19937_64 random(device() ^ static_cast<uint64_t>(
      std::chrono::steady_clock::now().time_since_epoch().count()));
  const fs::path temp = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << prefix << std::hex << (random() & 0xffffffffffffULL);
    path_ = temp / name.str();
    if (fs::create_directory(path_)) return;
  }
  throw std::runtime_error("test: cannot create a folder in " + temp.string());
}

TempDir::~TempDir() {
  if (std::getenv("QH_KEEP_FIXTURES") != nullptr) {
    std::fprintf(stderr, "test folder kept: %s\n", path_.string().c_str());
    return;
  }
  // A program the test started may still be ending (under Wine, a hand-over or a tool that
  // outlives its parent): its files stay locked until it has, so try again for a while.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  // A file a test made read-only (on Windows: the read-only attribute) is made writable.
  std::error_code ignored;
  for (;;) {
    fs::remove_all(path_, ignored);
    if (!fs::exists(path_, ignored) || std::chrono::steady_clock::now() > deadline) break;
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
      fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

std::string TempDir::Dir() const {
  return path_.string() + static_cast<char>(fs::path::preferred_separator);
}

fs::path TempDir::Fs(const std::string& relPath) const {
  return relPath.empty() ? path_ : path_ / NativeRelative(relPath);
}

std::string TempDir::Win(const std::string& relPath) const {
  return relPath.empty() ? path_.string() : path_.string() + "\\" + relPath;
}

void TempDir::Write(const std::string& relPath, const std::string& data) const {
  WriteBinary(Fs(relPath), data);
}

std::string TempDir::Read(const std::string& relPath) const { return ReadBinary(Fs(relPath)); }

void TempDir::InstallTool(const std::string& relPath, const std::string& actions) const {
  if (!fs::is_regular_file(FakeToolPath()))
    throw std::runtime_error("test: " + FakeToolPath() + " is not built");
  fs::create_directories(Fs(relPath).parent_path());
  fs::copy_file(FakeToolPath(), Fs(relPath), fs::copy_options::overwrite_existing);
  if (!actions.empty()) Write(relPath + ".act", actions);
}

std::vector<std::string> TempDir::ToolLogIn(const std::string& relDir) const {
  return Lines(NormalizeLineEnds(Read(relDir.empty() ? "tool_log.txt" : relDir + "\\tool_log.txt")));
}

std::vector<std::string> TempDir::Names(const std::string& relPath) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Fs(relPath)))
    names.push_back(entry.path().filename().string());
  return names;
}
