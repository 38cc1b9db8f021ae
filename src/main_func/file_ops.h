// The file operations whose failure must leave things wholly old or wholly new: those of
// the update journal and the package install, the Own writer and the virtual disk's
// set-aside. They go through one FileOps, so that a test can make any one of them fail (as
// a full disk, a lost network drive or a kill would) without root and without a real fault.
#pragma once
#include <string>

// How long a file that another program holds open may keep an update waiting.
constexpr int FileInUseWaitSeconds = 20;

class FileOps {
 public:
  virtual ~FileOps() = default;
  // Each forwards to its namesake in main_func/files.h.
  virtual bool MoveFileReplace(const std::string& from, const std::string& to);
  virtual bool MoveFileNoReplace(const std::string& from, const std::string& to);
  virtual bool WriteFileAtomic(const std::string& path, const std::string& data);
  virtual bool RemoveFile(const std::string& path);
  virtual bool RemoveFileAnyway(const std::string& path);
  virtual bool MakeDir(const std::string& path);
  virtual bool RemoveEmptyDir(const std::string& path);
  virtual bool DeleteDirTree(const std::string& dir);  // with its contents
  // How long a move waits for a file that another program holds open: FileInUseWaitSeconds.
  virtual int InUseWaitSeconds() const;
};

// The operations in use: the real ones unless a test put others in place.
FileOps& Files();
// Puts ops in place for the operations above; nullptr puts the real ones back.
void UseFileOps(FileOps* ops);
