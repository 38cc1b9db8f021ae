// A throw-away folder below the temporary directory for unit and whole-program tests, with
// whole-file access and the fake tool, removed with all it holds when the test ends.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// Whole files, byte for byte. ReadBinary gives "" for a missing file; WriteBinary creates
// the folders of the path and throws when the file cannot be written.
std::string ReadBinary(const std::filesystem::path& file);
void WriteBinary(const std::filesystem::path& file, const std::string& data);
// A relative path written the program's way (backslashes) as a native path fragment.
std::filesystem::path NativeRelative(const std::string& relPath);
// The built fake tool, next to the running test program.
std::string FakeToolPath();

class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "qh-test-");
  // Removes the folder, unless QH_KEEP_FIXTURES is set (then it is named on stderr).
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Native form with a trailing separator, as AppDir is.
  std::string Dir() const;
  // A path below the folder, given with backslashes or slashes, in native form.
  std::filesystem::path Fs(const std::string& relPath = "") const;
  std::string File(const std::string& relPath) const { return Fs(relPath).string(); }
  // The folder as the program writes paths: native, with relPath appended after a
  // backslash as it stands, so that the POSIX layer's mapping is exercised too.
  std::string Win(const std::string& relPath = "") const;

  void Write(const std::string& relPath, const std::string& data) const;
  std::string Read(const std::string& relPath) const;
  // Copies the fake tool to relPath, with an action file when actions is not empty.
  void InstallTool(const std::string& relPath, const std::string& actions = "") const;
  // The fake tools' log in this folder ("tool_log.txt"), one line an entry.
  std::vector<std::string> ToolLog() const { return ToolLogIn(""); }
  std::vector<std::string> ToolLogIn(const std::string& relDir) const;
  // The names in a folder, in the order the file system gives them.
  std::vector<std::string> Names(const std::string& relPath = "") const;

 private:
  std::filesystem::path path_;
};
