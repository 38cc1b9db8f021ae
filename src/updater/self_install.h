// The updater's own package goes in like every other package: 7-Zip tests it whole, unpacks
// it into the staging folder, and the update journal moves it into "updater\", its version
// file last. Killed at any moment or out of disk, "updater\" then holds the whole old
// updater or the whole new one (an interrupted move is undone at the next start).
#pragma once
#include <string>

// Installs the updater package zip (a path relative to the working directory).
// workToUpdater is the updater folder as seen from the working directory: "" for the
// self-update helper, which runs there, "updater\" for the main program. The caller holds
// the update lock; showMode is 7-Zip's (process.h). False with a one-line reason when
// nothing of the package was installed.
bool InstallUpdaterPackage(const std::string& baseDir, const std::string& workToUpdater,
                           const std::string& zip, int showMode, std::string& failure);

// True when "updater\" below baseDir holds an updater that can start: a file that is not
// empty and, where the system has one, carries the execute bit. A file cut short by an
// older helper, or one 7-Zip left without the bit, does not count.
bool UpdaterIsWhole(const std::string& baseDir);
