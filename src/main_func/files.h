// Files and directories. Paths are written with backslashes, as on Windows; the POSIX
// layer maps them at its boundary.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

bool FileExists(const std::string& path);       // a file, not a directory
// A file of exactly this name: on POSIX "x.exe" does not match "x" here. For the updater,
// which puts a package's files in place one by one and must tell "x" from "x.exe".
bool FileExistsAsNamed(const std::string& path);
bool DirExists(const std::string& path);
bool MakeDir(const std::string& path);          // one level
bool RemoveFile(const std::string& path);
// Removes a file even when it is marked read-only (Windows); for the program's own work
// files and set-aside copies, and for a file the user asked to delete (an Own entry's
// image, the virtual disk), never for other files of the user.
bool RemoveFileAnyway(const std::string& path);
bool MoveFileNoReplace(const std::string& from, const std::string& to);
bool MoveFileReplace(const std::string& from, const std::string& to);
bool RemoveEmptyDir(const std::string& path);
uint64_t FileSize64(const std::string& path);   // 0 when nothing matches
// The names of the entries directly in dir that are no folders, in no set order; none when
// dir cannot be read.
std::vector<std::string> FileNamesIn(const std::string& dir);
// Read-only files and folders inside the tree are removed as well, on every platform.
bool DeleteDirTree(const std::string& dir, bool withContents);
// The absolute path of an existing file or folder with every link and junction resolved,
// in native form; "" when it does not exist.
std::string ResolvedPath(const std::string& path);

// Whole-file access. ReadWholeFile returns false when the file cannot be read.
bool ReadWholeFile(const std::string& path, std::string& data);
// The first bytes of a file, at most count of them; false when the file cannot be read.
bool ReadFileHead(const std::string& path, std::size_t count, std::string& data);
// Writes a temporary file in the same folder and renames it over path, so that the file is
// always either the old one or the new one.
bool WriteFileAtomic(const std::string& path, const std::string& data);

// A path as the user should see it (native separators).
std::string NativePath(const std::string& path);
// Full path of the running program's executable.
std::string ExePath();
// Directory of ExePath() with a trailing separator.
std::string ExeDir();
bool SetWorkDir(const std::string& dir);
// Lets a program file that was downloaded or unpacked run: on POSIX wget and 7-Zip leave it
// without the execute bit. Nothing to do on Windows. False when no such file is there.
bool MakeExecutable(const std::string& path);
// True for a file its owner may run (POSIX: the execute bit); on Windows for every file.
bool IsExecutableFile(const std::string& path);
