// The update lock on Windows: the lock file held open without any sharing, by a handle no
// child process inherits; Windows closes it when the process ends in any way.
#include <windows.h>

#include "main_func/update_lock.h"

UpdateLock::State UpdateLock::TryTake(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_SHARING_VIOLATION ? State::Busy : State::Unavailable;
  }
  handle_ = static_cast<long long>(reinterpret_cast<INT_PTR>(h));
  return State::Held;
}

void UpdateLock::Release() {
  if (handle_ == Invalid) return;
  CloseHandle(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(handle_)));
  handle_ = Invalid;
}
