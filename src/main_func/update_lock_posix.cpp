// The update lock on POSIX: flock on a descriptor opened with O_CLOEXEC, so that neither a
// tool the holder runs nor the program it hands over to (which replaces its process) keeps it.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "main_func/path_map_posix.h"
#include "main_func/update_lock.h"

UpdateLock::State UpdateLock::TryTake(const std::string& path) {
  const std::string name = MapSlashes(path);
  int fd = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  // A lock file someone made read-only still locks: flock needs no write access.
  if (fd < 0 && errno == EACCES) fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return State::Unavailable;
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const bool busy = errno == EWOULDBLOCK;
    close(fd);
    return busy ? State::Busy : State::Unavailable;
  }
  handle_ = fd;
  return State::Held;
}

void UpdateLock::Release() {
  if (handle_ == Invalid) return;
  close(static_cast<int>(handle_));  // closing the only descriptor lets go of the lock
  handle_ = Invalid;
}
