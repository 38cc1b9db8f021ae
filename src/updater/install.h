// Installing an unpacked package: its files wait in the staging folder "updater\temp\stage"
// and are moved into place one by one through the update journal, the package's version
// file last; on any failure everything is put back.
#pragma once
#include <string>
#include <vector>

struct PackagePlan {
  std::string dest;         // below the main directory, "" or ending in a backslash
  std::string versionFile;  // below dest: moved last, so it names the package only when whole
  std::vector<std::string> asideDirs;  // folders below the main directory the package replaces
  bool keepsOwnIni = false;            // the database folder: an existing Own.ini stays
};

// "updater\temp\stage\" below the main directory baseDir.
std::string StagingDir(const std::string& baseDir);

// Keeps the user's files that a package would replace: an existing Own.ini of the database
// folder, and an existing "qemu\qemu.ini" (the package's copy then becomes qemu.ini.new).
void KeepUserFiles(const std::string& baseDir, const PackagePlan& plan);

// Moves the staged files into place. False with a one-line reason when it failed and
// everything was put back.
bool InstallStaged(const std::string& baseDir, const PackagePlan& plan, std::string& failure);
