// The updater: one pass that brings the installation up to date from the update server
// (updater/update_run.h), then starts the main program again, unless the self-update
// helper took over to replace this program.
#include "db/layout.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "main_func/update_lock.h"
#include "updater/func.h"
#include "updater/update_run.h"

int main() {
  UpdaterBaseDir = ExeDir() + "..\\";
  // The command lines name "temp\" and "..\" relative to the updater's folder, wherever it
  // was started from.
  SetWorkDir(ExeDir());
  // Held for the whole run, and let go just before another program is started.
  UpdateLock lock;
  if (RunUpdate(lock) == UpdateEnd::StartMainProgram) {
    WriteText("Press <Enter> to continue");
    WaitForEnter();
    lock.Release();
    ShellStart("open", UpdaterBaseDir + MainProgram, "", UpdaterBaseDir, ShowNormal);
  }
  RunPendingHandOver();
  return 0;
}
