// Throw-away installations for whole-program tests: the built program copied into a fresh
// temporary folder, the files a case needs, fake tools, and runs with scripted standard input.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

struct RunResult {
  int exitCode = -1;
  std::string out;   // standard output, line ends normalised to "\n"
  std::string err;   // standard error, likewise
};

// File name of a built program on this platform ("quillhaven" or "quillhaven.exe").
std::string ProgramFileName(const std::string& baseName);
// Full path of a program built next to the running test program; throws when it is missing.
std::filesystem::path BuiltProgram(const std::string& baseName);
// The build folder (the test program lives in its bin/) and the source folder its CMake
// cache names ("" when there is no cache).
std::filesystem::path BuildDir();
std::filesystem::path SourceDir();

class Fixture {
 public:
  // Complete: every tool the start-up self-check looks for is there (as the fake tool), so
  // start-up runs straight through. Bare: the main program alone.
  enum class Layout { Complete, Bare };

  // Makes the installation (in a folder of that name) and copies the main program into it.
  explicit Fixture(Layout layout = Layout::Complete, const std::string& folderName = "inst");
  // Removes everything, unless QH_KEEP_FIXTURES is set (then the folder is named on stderr).
  ~Fixture();
  Fixture(const Fixture&) = delete;
  Fixture& operator=(const Fixture&) = delete;

  // The installation folder in native form with a trailing separator: the program's AppDir.
  std::string Dir() const;
  // A path below the installation, given with backslashes as the program writes it
  // ("db\\db.ini"; ".." reaches folders beside the installation), in native form.
  std::string Path(const std::string& relPath) const;
  std::filesystem::path FsPath(const std::string& relPath) const;
  // The folder the program is started in: deliberately not the installation.
  std::filesystem::path WorkDir() const { return work_; }

  // Writes a file byte for byte, creating its folders.
  void Write(const std::string& relPath, const std::string& text) const;
  std::string Read(const std::string& relPath) const;   // "" when missing
  bool Exists(const std::string& relPath) const;          // a file or a folder
  void MakeDir(const std::string& relPath) const;
  void Remove(const std::string& relPath) const;          // a file or a whole folder

  // Copies the fake tool under a tool's name ("qemu\\qemu.exe") and writes its action file
  // ("" writes none, so the tool only logs its command line).
  void InstallTool(const std::string& relPath, const std::string& actions = "") const;
  // The fake tool under every tool name of an installation (QEMU, qemu-img, the accelerator
  // loader and unloader, wget, 7-Zip) and as the updater.
  void InstallAllTools() const;
  // Copies another built program (by base name, e.g. "updater") to relPath.
  void InstallProgram(const std::string& baseName, const std::string& relPath) const;
  // The fake tools' command-line log, one entry a line ("qemu/qemu.exe\t-L .\\qemu ...").
  std::vector<std::string> ToolLog() const;

  // Runs the main program with standard input read from a file holding stdinText.
  RunResult Run(const std::string& stdinText) const;
  // Runs any program of the installation (relPath) the same way, started in workDir.
  RunResult RunProgram(const std::string& relPath, const std::string& stdinText,
                       const std::filesystem::path& workDir) const;

 private:
  TempDir root_;                    // holds everything below
  std::filesystem::path install_;   // the installation
  std::filesystem::path work_;      // an unrelated working folder
  std::filesystem::path runs_;      // redirected standard input and output of the runs
};
