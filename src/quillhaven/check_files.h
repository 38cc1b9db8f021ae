// The start-up self-check of the tool files, and the bootstrap of a missing updater.
#pragma once
#include <string>

#include "main_func/update_lock.h"

// The main program takes the update lock only while it undoes an interrupted update, cleans
// up the updater's download folder or fetches a missing updater. True when it may do so:
// it holds the lock, or no lock file can be opened (then no updater runs either: they need
// it). While an update runs it says so, once in a run, and false is returned.
bool TakeUpdateLockAtStart(const std::string& baseDir, UpdateLock& lock);

void CheckFiles();
