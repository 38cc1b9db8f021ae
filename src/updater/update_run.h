// The updater's one pass: brings the program, the database, the 3rd party apps and finally
// the updater itself up to date from the update server. The program's main() only sets the
// folders and starts the main program (or leaves it to the self-update helper) afterwards.
#pragma once
#include <string>
#include <vector>

#include "main_func/update_lock.h"
#include "updater/install.h"
#include "updater/versions.h"

// The packages installed in place by this program, in the order they are installed; the
// updater's own package goes to the self-update helper instead.
enum class PackageKind { Program, Database, Tools };

// How one package goes in: where it lies on the server, the line that announces it, 7-Zip's
// answer, where its files go, what stays as it was when it fails, and the programs that
// must carry the execute bit afterwards (below the main directory).
struct UpdatePackage {
  std::string serverDir;
  std::string announce;  // followed by the server's version text and " ..."
  bool blankBefore = false;
  std::string yes;
  PackagePlan plan;
  std::string notUpdated;
  std::vector<std::string> executables;
};

// dbDir: the database folder named by options.ini.
UpdatePackage PackageFor(PackageKind kind, const std::string& dbDir);

enum class UpdateEnd { StartMainProgram, HelperStarted };

// One run on the installation UpdaterBaseDir, with the updater's folder as the working
// directory. lock is taken here and let go before the helper starts; the caller starts the
// main program when the run ends with StartMainProgram.
UpdateEnd RunUpdate(UpdateLock& lock);
