// The self-update helper. The updater cannot replace its own program file while it runs, so
// it leaves the new updater package in "updater\temp\upt.zip", starts this helper and ends.
// The helper installs the package into "updater\" the way every package goes in (staged,
// then moved into place through the update journal), removes it, and starts the updater
// again, which then finds nothing newer and starts the main program.
#include <string>

#include "main_func/files.h"
#include "main_func/process.h"
#include "updater/self_update.h"

int main() {
  const std::string dir = ExeDir();  // the updater folder
  // The command lines name the archive and the output folder relative to the updater
  // folder; the updater starts the helper there, and this makes sure of it.
  SetWorkDir(dir);
  RunSelfUpdate(dir);
  RunPendingHandOver();
  return 0;
}
