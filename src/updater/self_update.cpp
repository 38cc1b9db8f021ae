#include "updater/self_update.h"

#include "db/ini_file.h"
#include "db/layout.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "main_func/update_lock.h"
#include "updater/journal.h"
#include "updater/self_install.h"

namespace {

// How long the helper waits for the updater to end and let go of the update lock.
constexpr int LockWaitMs = 30000;

int InstalledUpdaterNumber(const std::string& dir) {
  return IniFile(dir + VersionFileName).ReadInteger("version", "aver", 1);
}

}  // namespace

void RunSelfUpdate(const std::string& dir) {
  const std::string baseDir = dir + "..\\";
  WriteLine("Quillhaven self-update");
  WriteLine();
  WriteLine(" > Installing new updater ... ");

  const std::string archive = dir + FromUpdaterFolder(HandedOverPackage);
  UpdateLock lock;
  const UpdateLock::State state = lock.Take(baseDir, LockWaitMs);
  const int before = InstalledUpdaterNumber(dir);
  std::string failure;
  bool installed = false, mixed = false;
  if (state == UpdateLock::State::Busy)
    failure = "Another update is running";
  else if (state == UpdateLock::State::Unavailable)
    failure = "The update lock file update.lock could not be opened";
  else if (!RollBackInterruptedUpdate(baseDir))
    mixed = true;  // said by the roll-back; the files stay as they are until the next try
  else if (!FileExists(archive))
    failure = "The package updater\\temp\\upt.zip is missing";
  else
    installed = InstallUpdaterPackage(baseDir, "", FromUpdaterFolder(HandedOverPackage), ShowNormal, failure);
  // A failed install whose files could not all be put back leaves its journal.
  if (!installed && lock.Held() && UpdateJournalPending(baseDir)) mixed = true;
  // The download folder is the lock holder's: another update may be using it. While the
  // journal waits for a roll-back, the package stays as well.
  if (lock.Held() && !mixed) RemoveFile(archive);

  // The updater is started again only when its number went up; otherwise it would find
  // the same package newer again and hand over to this helper without end.
  if (installed && InstalledUpdaterNumber(dir) > before) {
    WriteLine(" > Starting new updater ... ");
    lock.Release();
    ShellStart("open", dir + UpdaterName, "", dir, ShowNormal);
  } else {
    if (installed)
      WriteLine(" > The package brought no newer updater; the updater is not started again. ");
    else if (mixed)
      WriteLine(" > The new updater was not installed; the previous files are put back at the "
                "next start. ");
    else
      WriteLine(" > " + failure + "; the new updater could not be installed, the old one stays. ");
    WriteLine();
    WriteText("Press <Enter> to continue");
    WaitForEnter();
    lock.Release();
    ShellStart("open", dir + "..\\" + MainProgram, "", dir + "..\\", ShowNormal);
  }
}
