// File operations (main_func/file_ops.h) that fail the Nth one, in place while the object
// lives. Alone, only that one fails, as a full disk or a moment's lock would make it; with
// cut, every later one fails as well, as when the program is killed right there.
#pragma once
#include <string>

#include "main_func/file_ops.h"

class FailingFileOps : public FileOps {
 public:
  FailingFileOps(int failAt, bool cut) : failAt_(failAt), cut_(cut) { UseFileOps(this); }
  ~FailingFileOps() override { UseFileOps(nullptr); }
  FailingFileOps(const FailingFileOps&) = delete;
  FailingFileOps& operator=(const FailingFileOps&) = delete;

  // Whether the run came as far as the failing operation.
  bool Hit() const { return count_ >= failAt_; }

  bool MoveFileReplace(const std::string& from, const std::string& to) override {
    return Pass() && FileOps::MoveFileReplace(from, to);
  }
  bool MoveFileNoReplace(const std::string& from, const std::string& to) override {
    return Pass() && FileOps::MoveFileNoReplace(from, to);
  }
  bool WriteFileAtomic(const std::string& path, const std::string& data) override {
    return Pass() && FileOps::WriteFileAtomic(path, data);
  }
  bool RemoveFile(const std::string& path) override { return Pass() && FileOps::RemoveFile(path); }
  bool RemoveFileAnyway(const std::string& path) override {
    return Pass() && FileOps::RemoveFileAnyway(path);
  }
  bool MakeDir(const std::string& path) override { return Pass() && FileOps::MakeDir(path); }
  bool RemoveEmptyDir(const std::string& path) override {
    return Pass() && FileOps::RemoveEmptyDir(path);
  }
  bool DeleteDirTree(const std::string& dir) override {
    return Pass() && FileOps::DeleteDirTree(dir);
  }
  // A failed move is not a file held open: no waiting for it to be let go.
  int InUseWaitSeconds() const override { return 0; }

 private:
  bool Pass() {
    ++count_;
    return cut_ ? count_ < failAt_ : count_ != failAt_;
  }
  int failAt_;
  bool cut_;
  int count_ = 0;
};
