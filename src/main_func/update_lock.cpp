#include "main_func/update_lock.h"

#include <chrono>
#include <thread>

// The main directory: the one folder no package replaces and no clean-up removes.
std::string UpdateLockPath(const std::string& baseDir) { return baseDir + "update.lock"; }

UpdateLock::State UpdateLock::Take(const std::string& baseDir, int waitMs) {
  Release();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    const State state = TryTake(UpdateLockPath(baseDir));
    if (state != State::Busy || std::chrono::steady_clock::now() >= deadline) return state;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}
