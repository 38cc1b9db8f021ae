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

// Why the archive zip (a path from the working directory) may not be installed: it did not
// arrive, holds an entry outside its folder, 7-Zip cannot start, or 7-Zip's test finds it
// damaged; "" when it passed. The reason starts a line.
std::string ArchiveTestFailure(const std::string& baseDir, const std::string& zip, int showMode);

// Installs the archive zip as plan says: tested as above, unpacked by 7-Zip (its -y or -Y
// answer yes) into the staging folder, the staged files named in executables (paths below
// the staging folder) made executable there, so that no cut leaves a program that cannot
// start, the user's files kept, and moved into place through the journal. workToUpdater is
// the updater folder as seen from the working directory ("" when it is the working
// directory). "" when installed; otherwise why not, to start a line, and putBack true when
// files had begun to move and were all put back (false while the journal still waits for
// the next start to put them back).
std::string InstallArchive(const std::string& baseDir, const std::string& workToUpdater,
                           const std::string& zip, const std::string& yes,
                           const PackagePlan& plan, const std::vector<std::string>& executables,
                           int showMode, bool& putBack);
