#include "main_func/file_ops.h"

#include "main_func/files.h"

namespace {
FileOps Real;
FileOps* Current = &Real;
}  // namespace

bool FileOps::MoveFileReplace(const std::string& from, const std::string& to) {
  return ::MoveFileReplace(from, to);
}
bool FileOps::MoveFileNoReplace(const std::string& from, const std::string& to) {
  return ::MoveFileNoReplace(from, to);
}
bool FileOps::WriteFileAtomic(const std::string& path, const std::string& data) {
  return ::WriteFileAtomic(path, data);
}
bool FileOps::RemoveFile(const std::string& path) { return ::RemoveFile(path); }
bool FileOps::RemoveFileAnyway(const std::string& path) { return ::RemoveFileAnyway(path); }
bool FileOps::MakeDir(const std::string& path) { return ::MakeDir(path); }
bool FileOps::RemoveEmptyDir(const std::string& path) { return ::RemoveEmptyDir(path); }
bool FileOps::DeleteDirTree(const std::string& dir) { return ::DeleteDirTree(dir, true); }
int FileOps::InUseWaitSeconds() const { return FileInUseWaitSeconds; }

FileOps& Files() { return *Current; }
void UseFileOps(FileOps* ops) { Current = ops ? ops : &Real; }
