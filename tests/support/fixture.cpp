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
#include "support/temp_dir.h"
#include "support/transcript.h"

namespace fs = std::filesystem;


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

fs::path BuildDir() { return fs::path(ExeDir()).parent_path().parent_path(); }

fs::path SourceDir() {
  std::ifstream cache(BuildDir() / "CMakeCache.txt");
  const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
  for (std::string line; std::getline(cache, line);)
    if (line.rfind(key, 0) == 0) return line.substr(key.size());
  return {};
}

Fixture::Fixture(Layout layout, const std::string& folderName) : root_("qh-fixture-") {
  install_ = root_.Fs(folderName);
  work_ = root_.Fs("work");
  runs_ = root_.Fs("runs");
  fs::create_directories(install_);
  fs::create_directories(work_);
  fs::create_directories(runs_);
  fs::copy_file(BuiltProgram("quillhaven"), install_ / ProgramFileName("quillhaven"));
  if (layout == Layout::Complete) InstallAllTools();
}

Fixture::~Fixture() = default;

std::string Fixture::Dir() const {
  return install_.string() + static_cast<char>(fs::path::preferred_separator);
}

fs::path Fixture::FsPath(const std::string& relPath) const { return install_ / NativeRelative(relPath); }

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
