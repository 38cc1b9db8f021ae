#include "updater/self_install.h"

#include "db/layout.h"
#include "main_func/files.h"
#include "updater/install.h"

bool InstallUpdaterPackage(const std::string& baseDir, const std::string& workToUpdater,
                           const std::string& zip, int showMode, std::string& failure) {
  bool putBack = false;
  failure = InstallArchive(baseDir, workToUpdater, zip, "-y", {UpdaterFolder, VersionFileName, {}},
                           {UpdaterName, HelperName}, showMode, putBack);
  return failure.empty();
}

bool UpdaterIsWhole(const std::string& baseDir) {
  const std::string updater = baseDir + UpdaterProgram;
  return FileExists(updater) && FileSize64(updater) > 0 && IsExecutableFile(updater);
}
