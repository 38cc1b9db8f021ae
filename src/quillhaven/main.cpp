// The main program: loading banner, settings and catalogue, self-check, main loop.
#include <cstdio>
#include <exception>

#include "c_api/console.h"
#include "db/settings.h"
#include "main_func/app_state.h"
#include "main_func/download_reason.h"
#include "main_func/files.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "quillhaven/check_files.h"
#include "quillhaven/main_screen.h"
#include "updater/journal.h"

namespace {

int Run() {
  WriteLine("Quillhaven");
  WriteLine("==========");
  WriteLine();
  WriteLine("Loading ...");
  WriteLine();
  // An update cut short leaves a mix of old and new files: undo it before anything is read,
  // unless the update is still running.
  {
    UpdateLock lock;
    if (TakeUpdateLockAtStart(ExeDir(), lock)) RollBackInterruptedUpdate(ExeDir());
  }
  ConsoleInit();
  ExitRequested = false;
  // Every relative path of the command lines and file tests names a file of the
  // installation, so the program works from its own folder wherever it was started from.
  SetWorkDir(ExeDir());
  UseInstallationWgetrc(ExeDir(), "");  // the working directory is the installation
  ReadDatabase();
  CheckFiles();
  do {
    SetWindowTitle("Quillhaven");
    ShowMainHeader();
    MainMenu();
  } while (!ExitRequested);
  std::fflush(stdout);
  // A program handed over to (the updater) takes over the terminal now.
  RunPendingHandOver();
  return 0;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "quillhaven: error: %s\n", error.what());
  } catch (...) {
    std::fflush(stdout);
    std::fprintf(stderr, "quillhaven: error: unknown failure\n");
  }
  return 1;
}
