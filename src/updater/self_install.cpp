#include "updater/self_install.h"

#include "main_func/command_words.h"
#include "main_func/files.h"
#include "main_func/process.h"
#include "updater/install.h"

bool InstallUpdaterPackage(const std::string& baseDir, const std::string& workToUpdater,
                           const std::string& zip, int showMode, std::string& failure) {
  const std::string sevenZip = ToolCommandLine(baseDir, "7z\\7za.exe");
  if (!FileExists(zip) || RunAndWait(sevenZip + " t " + zip, showMode) != 0) {
    failure = "The package did not arrive whole";
    return false;
  }
  if (!DirExists(baseDir + "updater\\temp")) MakeDir(baseDir + "updater\\temp");
  const std::string stage = StagingDir(baseDir);
  if (DirExists(stage)) DeleteDirTree(stage, true);
  bool installed = false;
  if (RunAndWait(sevenZip + " x -bd -o" + workToUpdater + "temp\\stage\\ -y " + zip, showMode) !=
      0) {
    failure = "The package could not be unpacked (is the disk full?)";
  } else {
    // Executable before they move in, so that no cut leaves an updater that cannot start.
    MakeExecutable(stage + "updater.exe");
    MakeExecutable(stage + "upt.exe");
    installed = InstallStaged(baseDir, {"updater\\", "ver.ini", {}}, failure);
  }
  DeleteDirTree(stage, true);
  return installed;
}

bool UpdaterIsWhole(const std::string& baseDir) {
  const std::string updater = baseDir + "updater\\updater.exe";
  return FileExists(updater) && FileSize64(updater) > 0 && IsExecutableFile(updater);
}
