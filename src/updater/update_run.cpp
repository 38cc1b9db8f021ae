#include "updater/update_run.h"

#include <functional>

#include "db/layout.h"
#include "db/settings.h"
#include "db/update_server.h"
#include "main_func/command_words.h"
#include "main_func/download_reason.h"
#include "main_func/out.h"
#include "trust/digest.h"
#include "trust/signed_release.h"
#include "updater/func.h"
#include "updater/journal.h"
#include "updater/server_reach.h"
#include "updater/server_trust.h"

// The command lines name "temp\" and "..\" relative to the updater's folder, the working
// directory: "temp\" is "updater\temp\" and "..\" the main directory.

namespace {

std::string Server;

std::string TempPath(const std::string& name) { return UpdaterBaseDir + UpdaterTempFolder + name; }

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
      ToolCommandLine(UpdaterBaseDir, ToolFile(WgetProgram) + " -q -P " +
                                         FromUpdaterFolder(UpdaterTempFolder) + " ") + Server + serverPath;
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
// fails puts every file back and says so on one line.
void InstallPackage(const UpdatePackage& p, const PackageVersion& v, int fetched,
                    const std::string& zip) {
  if (!PackageArrived(fetched, p.notUpdated) || !PackageIsSound(v, zip)) return;
  bool putBack = false;
  const std::string failure =
      InstallArchive(UpdaterBaseDir, "", FromUpdaterFolder(UpdaterTempFolder) + zip, p.yes, p.plan, {}, ShowNormal, putBack);
  if (!failure.empty())
    WriteLine(" > " + failure + "; " + p.notUpdated + " not updated" +
              (putBack ? ", the previous files were put back. " : ". "));
}

void Update(PackageKind kind, const PackageVersion& v) {
  const UpdatePackage p = PackageFor(kind, DbDir);
  const std::string zip = std::to_string(v.server) + ".zip";
  if (p.blankBefore) WriteLine();
  WriteLine(p.announce + v.text + " ...");
  const int fetched = FetchToTemp(p.serverDir + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  InstallPackage(p, v, fetched, zip);
  for (const std::string& program : p.executables) MakeExecutable(UpdaterBaseDir + program);
  WriteLine();
  RemoveFileAnyway(TempPath(zip));
}

// Hands the new updater package to the self-update helper, which replaces this program
// once it has ended. Returns false when the helper could not be started.
bool HandOverToHelper(const PackageVersion& v, UpdateLock& lock) {
  const std::string zip = std::to_string(v.server) + ".zip";
  WriteLine(" > Downloading new updater version " + v.text + " ...");
  const int fetched = FetchToTemp("upt/up/" + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  // A package left from an earlier run must not be installed in place of this one.
  RemoveFileAnyway(UpdaterBaseDir + HandedOverPackage);
  if (!PackageArrived(fetched, "the updater was") || !PackageIsSound(v, zip)) {
    RemoveFileAnyway(TempPath(zip));
    return false;
  }
  const std::string tested = ArchiveTestFailure(UpdaterBaseDir, FromUpdaterFolder(UpdaterTempFolder) + zip, ShowNormal);
  if (!tested.empty()) {
    WriteLine(" > " + tested + "; the updater was not updated. ");
    RemoveFileAnyway(TempPath(zip));
    return false;
  }
  MoveFileReplace(TempPath(zip), UpdaterBaseDir + HandedOverPackage);
  MakeExecutable(UpdaterBaseDir + HelperProgram);
  lock.Release();  // the helper waits for it
  if (ShellStart("", UpdaterBaseDir + HelperProgram, "", UpdaterBaseDir + UpdaterFolder,
                 ShowNormal) > 32)
    return true;
  WriteLine(" > The updater could not be updated: updater\\upt.exe did not start. ");
  return false;
}

}  // namespace

UpdatePackage PackageFor(PackageKind kind, const std::string& dbDir) {
  switch (kind) {
    case PackageKind::Program:
      return {"upt/prg/", " > Downloading new program version ", false, "-Y",
              {"", VersionFileName, {}}, "the program was", {MainProgram}};
    case PackageKind::Database:
      return {"upt/db/", " > Downloading new database version ", false, "-y",
              {dbDir + "\\", CatalogueName, {}, true}, "the database was", {}};
    case PackageKind::Tools:
      // The old tools folders are set aside, not removed, until the new ones are in place:
      // wget among them, so a failure never leaves the installation without the means to
      // download.
      return {"upt/3/", " > Downloading new 3rd party apps. Package version ", true, "-y",
              {"", ToolsVersionFile, {"qemu", "kqemu", "wget"}}, "3rd party apps were",
              {ToolFile(QemuProgram), ToolFile(QemuImgProgram), ToolFile(WgetProgram)}};
  }
  return {};
}

UpdateEnd RunUpdate(UpdateLock& lock) {
  ShowUpdaterBanner();
  // A second updater, or one started while the self-update helper works, changes nothing.
  // Without a lock file that can be opened nobody can hold the lock, so nothing is updated.
  const UpdateLock::State state = lock.Take(UpdaterBaseDir);
  if (state != UpdateLock::State::Held) {
    WriteLine(state == UpdateLock::State::Busy
                  ? " > An update is already running; nothing was changed. "
                  : " > The update lock file update.lock could not be opened; nothing was "
                    "changed. ");
    WriteLine();
    return UpdateEnd::StartMainProgram;
  }
  // A package cut short by a kill or a power cut is undone before anything else; while
  // that is not possible, installing more would only mix more files.
  if (!RollBackInterruptedUpdate(UpdaterBaseDir)) {
    WriteLine();
    return UpdateEnd::StartMainProgram;
  }
  WriteLine("Checking for new updates ...");
  if (!DirExists(UpdaterBaseDir + UpdaterTempFolder)) MakeDir(UpdaterBaseDir + UpdaterTempFolder);
  Server = UpdateServer(UpdaterBaseDir);
  const int fetched = FetchToTemp(VersionFileName, VersionFileName, Fetch::SmallFileSayingWaits);
  WriteLine();
  const std::string unreachable = UnreachableReason(fetched, TempPath(VersionFileName));
  if (!unreachable.empty()) {
    RemoveFile(TempPath(VersionFileName));
    WriteLine(" > Unable to reach the update server (" + unreachable + "). Nothing was updated. ");
    WriteLine();
    return UpdateEnd::StartMainProgram;
  }
  const ServerTrust trust = CheckServerVersionFile(FetchSignature);
  if (trust == ServerTrust::Refused) {
    WriteLine();
    return UpdateEnd::StartMainProgram;
  }

  UpdateVersions versions;
  DbDir = ReadLocalVersions(UpdaterBaseDir, versions);
  ReadServerVersions(TempPath(VersionFileName), versions);
  if (trust == ServerTrust::Verified) RequireSha256(versions);
  RemoveFile(TempPath(VersionFileName));

  if (versions.program.Newer()) Update(PackageKind::Program, versions.program);
  else WriteLine(" > No need to update program ... ");
  WriteLine();

  if (versions.database.Newer()) Update(PackageKind::Database, versions.database);
  else WriteLine(" > No need to update database ... ");

  if (versions.tools.Newer()) Update(PackageKind::Tools, versions.tools);
  WriteLine();

  if (versions.updater.Newer()) {
    if (HandOverToHelper(versions.updater, lock)) return UpdateEnd::HelperStarted;
  } else {
    WriteLine(" > No need to update updater ... ");
  }
  WriteLine();
  return UpdateEnd::StartMainProgram;
}
