// One update at a time: the updater and the self-update helper hold this lock for their
// whole run, the main program only while it undoes an interrupted update or cleans up the
// updater's download folder. The operating system lets go of it when the process ends in
// any way (a kill included), and no program started from a holder inherits it.
#pragma once
#include <string>

// The lock file: in the main directory (baseDir, ending in a separator), outside every
// folder that a package replaces or a clean-up removes; it is never deleted, since a lock
// on a file that someone deletes no longer excludes anybody.
std::string UpdateLockPath(const std::string& baseDir);

class UpdateLock {
 public:
  enum class State { Held, Busy, Unavailable };
  UpdateLock() = default;
  UpdateLock(const UpdateLock&) = delete;
  UpdateLock& operator=(const UpdateLock&) = delete;
  ~UpdateLock() { Release(); }

  // Takes the lock of the installation at baseDir, waiting up to waitMs while another
  // process holds it. Busy: another process holds it. Unavailable: the lock file cannot be
  // opened at all (a folder without write access): nobody can hold it then.
  State Take(const std::string& baseDir, int waitMs = 0);
  bool Held() const { return handle_ != Invalid; }
  // Lets go of the lock; the file stays.
  void Release();

 private:
  State TryTake(const std::string& path);  // the platform's half: one attempt, no wait
  static constexpr long long Invalid = -1;
  long long handle_ = Invalid;  // a file descriptor on POSIX, a HANDLE on Windows
};
