// The updater: one straight pass that brings the program, the database, the 3rd party apps
// and finally the updater itself up to date from the update server, then starts the main
// program again (or the self-update helper, when the updater itself is newer).
// It runs with its own folder "updater\" as the working directory, so "temp\" below is
// "updater\temp\" and "..\" is the main directory.
#include <functional>
#include <string>

#include "db/settings.h"
#include "db/update_server.h"
#include "main_func/command_words.h"
#include "main_func/download_reason.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/update_lock.h"
#include "trust/digest.h"
#include "trust/signed_release.h"
#include "updater/func.h"
#include "updater/install.h"
#include "updater/journal.h"
#include "updater/server_reach.h"
#include "updater/server_trust.h"
#include "updater/versions.h"

namespace {

std::string Server;
// Held for the whole run, and let go just before another program is started.
UpdateLock Lock;

std::string TempPath(const std::string& name) { return UpdaterBaseDir + "updater\\temp\\" + name; }

enum class Fetch { Package, SmallFile, SmallFileSayingWaits };

// wget would save a second copy as NAME.1 beside a file left from an earlier run, and the
// stale one would then be read or unpacked. A version file and its signature are bounded
// in size and time while they arrive; the version file's wait is shown as it goes.
int FetchToTemp(const std::string& serverPath, const std::string& name,
                Fetch kind = Fetch::Package) {
  RemoveFileAnyway(TempPath(name));
  // Asked before every fetch: the 3rd party apps package replaces the wget folder.
  UseInstallationWgetrc(UpdaterBaseDir, "..\\");  // from the updater's folder
  const std::string commandLine =
      ToolCommandLine(UpdaterBaseDir, "wget\\wget.exe -q -P temp\\ ") + Server + serverPath;
  if (kind == Fetch::Package) return RunAndWait(commandLine, ShowNormal);
  std::function<void(int)> sayWait;
  if (kind == Fetch::SmallFileSayingWaits)
    sayWait = [](int seconds) { WriteLine(StillWaitingLine(seconds)); };
  return RunBoundedFetch(commandLine, TempPath(name), MaxVersionFileSize, sayWait);
}

// The server's signature is fetched the same way; its outcome is judged by the check.
void FetchSignature(const std::string& serverPath, const std::string& name) {
  FetchToTemp(serverPath, name, Fetch::SmallFile);
}

// A package for which the server's version file gives a SHA-256 is installed only when it
// is that very file.
bool PackageIsSound(const PackageVersion& v, const std::string& zip) {
  if (v.sha256Required && v.sha256.empty()) {
    WriteLine(" > The signed version file gives no SHA-256 for this package; it was not installed. ");
    return false;
  }
  if (v.sha256.empty() || !FileExists(TempPath(zip)) || FileHasSha256(TempPath(zip), v.sha256))
    return true;
  WriteLine(" > The package is damaged (SHA-256 does not match); it was not installed. ");
  return false;
}

// wget's exit code says why a package did not arrive (a full disk is not a damaged
// package); false, with the line written, when the fetch failed.
bool PackageArrived(int fetched, const std::string& notUpdated) {
  if (fetched == 0) return true;
  WriteLine(" > The package could not be downloaded: " + WgetFailureReason(fetched) + "; " +
            notUpdated + " not updated. ");
  return false;
}

// Tests the package, unpacks it into the staging folder and moves it into place; whatever
// fails puts every file back and says so on one line. notUpdated names what stays as it was.
void InstallPackage(const PackageVersion& v, int fetched, const std::string& zip,
                    const std::string& yes, const PackagePlan& plan,
                    const std::string& notUpdated) {
  if (!PackageArrived(fetched, notUpdated) || !PackageIsSound(v, zip)) return;
  bool putBack = false;
  const std::string failure =
      InstallArchive(UpdaterBaseDir, "", "temp\\" + zip, yes, plan, {}, ShowNormal, putBack);
  if (!failure.empty())
    WriteLine(" > " + failure + "; " + notUpdated + " not updated" +
              (putBack ? ", the previous files were put back. " : ". "));
}

void UpdateProgram(const PackageVersion& v) {
  const std::string zip = std::to_string(v.server) + ".zip";
  WriteLine(" > Downloading new program version " + v.text + " ...");
  const int fetched = FetchToTemp("upt/prg/" + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  InstallPackage(v, fetched, zip, "-Y", {"", "ver.ini", {}}, "the program was");
  MakeExecutable(UpdaterBaseDir + "quillhaven.exe");
  WriteLine();
  RemoveFileAnyway(TempPath(zip));
}

void UpdateDatabase(const PackageVersion& v) {
  const std::string zip = std::to_string(v.server) + ".zip";
  WriteLine(" > Downloading new database version " + v.text + " ...");
  const int fetched = FetchToTemp("upt/db/" + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  InstallPackage(v, fetched, zip, "-y", {DbDir + "\\", "db.ini", {}, true}, "the database was");
  WriteLine();
  RemoveFileAnyway(TempPath(zip));
}

// The old tools folders are set aside, not removed, until the new ones are in place: wget
// among them, so a failure never leaves the installation without the means to download.
void UpdateTools(const PackageVersion& v) {
  const std::string zip = std::to_string(v.server) + ".zip";
  WriteLine();
  WriteLine(" > Downloading new 3rd party apps. Package version " + v.text + " ...");
  const int fetched = FetchToTemp("upt/3/" + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  InstallPackage(v, fetched, zip, "-y", {"", "updater\\3ver.ini", {"qemu", "kqemu", "wget"}},
                 "3rd party apps were");
  for (const char* tool : {"qemu\\qemu.exe", "qemu\\qemu-img.exe", "wget\\wget.exe"})
    MakeExecutable(UpdaterBaseDir + tool);
  WriteLine();
  RemoveFileAnyway(TempPath(zip));
}

// Hands the new updater package to the self-update helper, which replaces this program
// once it has ended. Returns false when the helper could not be started.
bool HandOverToHelper(const PackageVersion& v) {
  const std::string zip = std::to_string(v.server) + ".zip";
  WriteLine(" > Downloading new updater version " + v.text + " ...");
  const int fetched = FetchToTemp("upt/up/" + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  // A package left from an earlier run must not be installed in place of this one.
  RemoveFileAnyway(TempPath("upt.zip"));
  if (!PackageArrived(fetched, "the updater was") || !PackageIsSound(v, zip)) {
    RemoveFileAnyway(TempPath(zip));
    return false;
  }
  const std::string tested = ArchiveTestFailure(UpdaterBaseDir, "temp\\" + zip, ShowNormal);
  if (!tested.empty()) {
    WriteLine(" > " + tested + "; the updater was not updated. ");
    RemoveFileAnyway(TempPath(zip));
    return false;
  }
  MoveFileReplace(TempPath(zip), TempPath("upt.zip"));
  MakeExecutable(UpdaterBaseDir + "updater\\upt.exe");
  Lock.Release();  // the helper waits for it
  if (ShellStart("", UpdaterBaseDir + "updater\\upt.exe", "", UpdaterBaseDir + "updater\\",
                 ShowNormal) > 32)
    return true;
  WriteLine(" > The updater could not be updated: updater\\upt.exe did not start. ");
  return false;
}

void StartMainProgram() {
  WriteText("Press <Enter> to continue");
  WaitForEnter();
  Lock.Release();
  ShellStart("open", UpdaterBaseDir + "quillhaven.exe", "", UpdaterBaseDir, ShowNormal);
}

void RunUpdate() {
  UpdaterBaseDir = ExeDir() + "..\\";
  // The command lines name "temp\" and "..\" relative to the updater's folder, wherever it
  // was started from.
  SetWorkDir(ExeDir());
  ShowUpdaterBanner();
  // A second updater, or one started while the self-update helper works, changes nothing.
  // Without a lock file that can be opened nobody can hold the lock, so nothing is updated.
  const UpdateLock::State lock = Lock.Take(UpdaterBaseDir);
  if (lock != UpdateLock::State::Held) {
    WriteLine(lock == UpdateLock::State::Busy
                  ? " > An update is already running; nothing was changed. "
                  : " > The update lock file update.lock could not be opened; nothing was "
                    "changed. ");
    WriteLine();
    StartMainProgram();
    return;
  }
  // A package cut short by a kill or a power cut is undone before anything else; while
  // that is not possible, installing more would only mix more files.
  if (!RollBackInterruptedUpdate(UpdaterBaseDir)) {
    WriteLine();
    StartMainProgram();
    return;
  }
  WriteLine("Checking for new updates ...");
  if (!DirExists(UpdaterBaseDir + "updater\\temp")) MakeDir(UpdaterBaseDir + "updater\\temp");
  Server = UpdateServer(UpdaterBaseDir);
  const int fetched = FetchToTemp("ver.ini", "ver.ini", Fetch::SmallFileSayingWaits);
  WriteLine();
  const std::string unreachable = UnreachableReason(fetched, TempPath("ver.ini"));
  if (!unreachable.empty()) {
    RemoveFile(TempPath("ver.ini"));
    WriteLine(" > Unable to reach the update server (" + unreachable + "). Nothing was updated. ");
    WriteLine();
    StartMainProgram();
    return;
  }
  const ServerTrust trust = CheckServerVersionFile(FetchSignature);
  if (trust == ServerTrust::Refused) {
    WriteLine();
    StartMainProgram();
    return;
  }

  UpdateVersions versions;
  DbDir = ReadLocalVersions(UpdaterBaseDir, versions);
  ReadServerVersions(TempPath("ver.ini"), versions);
  if (trust == ServerTrust::Verified) RequireSha256(versions);
  RemoveFile(TempPath("ver.ini"));

  if (versions.program.Newer()) UpdateProgram(versions.program);
  else WriteLine(" > No need to update program ... ");
  WriteLine();

  if (versions.database.Newer()) UpdateDatabase(versions.database);
  else WriteLine(" > No need to update database ... ");

  if (versions.tools.Newer()) UpdateTools(versions.tools);
  WriteLine();

  if (versions.updater.Newer()) {
    if (HandOverToHelper(versions.updater)) return;
  } else {
    WriteLine(" > No need to update updater ... ");
  }
  WriteLine();
  StartMainProgram();
}

}  // namespace

int main() {
  RunUpdate();
  RunPendingHandOver();
  return 0;
}
