#include "support/fixture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "main_func/command_words.h"
#include "main_func/files.h"
#include "main_func/process.h"
#include "support/transcript.h"

namespace fs = std::filesystem;

namespace {

// A relative path written the program's way (backslashes) as a native path fragment.
fs::path Relative(const std::string& relPath) {
  std::string portable = relPath;
  for (char& c : portable) {
    if (c == '\\') c = '/';
  }
  fs::path result(portable);
  result.make_preferred();
  return result;
}

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
  if (!out) throw std::runtime_error("fixture: cannot write " + file.string());
}

// A folder of our own below the temporary directory; parallel test programs never share one.
fs::path MakeUniqueRoot() {
  std::random_device device;
  std::mt19937_64 random(device() ^ static_cast<uint64_t>(
      std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::path temp = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << "qh-fixture-" << std::hex << (random() & 0xffffffffffffULL);
    fs::path candidate = temp / name.str();
    if (fs::create_directory(candidate)) return candidate;
  }
  throw std::runtime_error("fixture: cannot create a folder in " + temp.string());
}

}  // namespace

std::string ProgramFileName(const std::string& baseName) {
#ifdef _WIN32
  return baseName + ".exe";
#else
  return baseName;
#endif
}

fs::path BuiltProgram(const std::string& baseName) {
  fs::path program = fs::path(ExeDir()) / ProgramFileName(baseName);
  if (!fs::is_regular_file(program)) {
    throw std::runtime_error("fixture: the program " + program.string() +
                             " is not built (build its target first)");
  }
  return program;
}

Fixture::Fixture(Layout layout, const std::string& folderName) {
  root_ = MakeUniqueRoot();
  install_ = root_ / folderName;
  work_ = root_ / "work";
  runs_ = root_ / "runs";
  fs::create_directories(install_);
  fs::create_directories(work_);
  fs::create_directories(runs_);
  fs::copy_file(BuiltProgram("quillhaven"), install_ / ProgramFileName("quillhaven"));
  if (layout == Layout::Complete) InstallAllTools();
}

Fixture::~Fixture() {
  if (std::getenv("QH_KEEP_FIXTURES") != nullptr) {
    std::fprintf(stderr, "fixture kept: %s\n", root_.string().c_str());
    return;
  }
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::string Fixture::Dir() const {
  return install_.string() + static_cast<char>(fs::path::preferred_separator);
}

fs::path Fixture::FsPath(const std::string& relPath) const { return install_ / Relative(relPath); }

std::string Fixture::Path(const std::string& relPath) const { return FsPath(relPath).string(); }

void Fixture::Write(const std::string& relPath, const std::string& text) const {
  WriteBinary(FsPath(relPath), text);
}

std::string Fixture::Read(const std::string& relPath) const { return ReadBinary(FsPath(relPath)); }

bool Fixture::Exists(const std::string& relPath) const { return fs::exists(FsPath(relPath)); }

void Fixture::MakeDir(const std::string& relPath) const { fs::create_directories(FsPath(relPath)); }

void Fixture::Remove(const std::string& relPath) const { fs::remove_all(FsPath(relPath)); }

void Fixture::InstallTool(const std::string& relPath, const std::string& actions) const {
  fs::path target = FsPath(relPath);
  fs::create_directories(target.parent_path());
  fs::copy_file(BuiltProgram("fake_tool"), target, fs::copy_options::overwrite_existing);
  if (!actions.empty()) WriteBinary(target.string() + ".act", actions);
}

void Fixture::InstallAllTools() const {
  for (const char* tool : {"updater\\updater.exe", "qemu\\qemu.exe", "qemu\\qemu-img.exe",
                           "kqemu\\RUR-Iradu.exe", "kqemu\\RUR-Iradu-Halt.exe",
                           "wget\\wget.exe", "7z\\7za.exe"}) {
    InstallTool(tool);
  }
}

void Fixture::InstallProgram(const std::string& baseName, const std::string& relPath) const {
  fs::path target = FsPath(relPath);
  fs::create_directories(target.parent_path());
  fs::copy_file(BuiltProgram(baseName), target, fs::copy_options::overwrite_existing);
}

std::vector<std::string> Fixture::ToolLog() const {
  return Lines(NormalizeLineEnds(ReadBinary(install_ / "tool_log.txt")));
}

RunResult Fixture::Run(const std::string& stdinText) const {
  return RunProgram(ProgramFileName("quillhaven"), stdinText, work_);
}

RunResult Fixture::RunProgram(const std::string& relPath, const std::string& stdinText,
                              const fs::path& workDir) const {
  const fs::path in = runs_ / "stdin.txt";
  const fs::path out = runs_ / "stdout.txt";
  const fs::path err = runs_ / "stderr.txt";
  WriteBinary(in, stdinText);
  std::error_code ignored;
  fs::remove(out, ignored);
  fs::remove(err, ignored);

  const std::string program = QuoteWord(Path(relPath));
  RunResult result;
  // Under Wine on a loaded machine a program copied in a moment ago now and then fails to
  // start at all (-1, nothing written); starting it again is then the same run.
  for (int attempt = 0; attempt < 3; ++attempt) {
    result.exitCode =
        RunRedirected(program, workDir.string(), in.string(), out.string(), err.string());
    if (result.exitCode != -1 || !ReadBinary(out).empty()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  result.out = NormalizeLineEnds(ReadBinary(out));
  result.err = NormalizeLineEnds(ReadBinary(err));
  return result;
}
