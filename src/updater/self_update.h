// The self-update helper's one run: installs the updater package the updater left in
// "updater\temp\upt.zip" and starts the new updater, or the main program when that failed.
#pragma once
#include <string>

// dir: the updater folder, with its trailing separator; the caller has made it the
// working directory.
void RunSelfUpdate(const std::string& dir);
