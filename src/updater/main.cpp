// The updater: one straight pass that brings the program, the database, the 3rd party apps
// and finally the updater itself up to date from the update server, then starts the main
// program again (or the self-update helper, when the updater itself is newer).
// It runs with its own folder "updater\" as the working directory, so "temp\" below is
// "updater\temp\" and "..\" is the main directory.
#include <string>

#include "db/settings.h"
#include "db/update_server.h"
#include "main_func/command_words.h"
#include "main_func/download_reason.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/sha256.h"
#include "updater/func.h"
#include "updater/server_reach.h"
#include "updater/versions.h"

namespace {

std::string Server;

std::string TempPath(const std::string& name) { return UpdaterBaseDir + "updater\\temp\\" + name; }

// wget would save a second copy as NAME.1 beside a file left from an earlier run, and the
// stale one would then be read or unpacked.
int FetchToTemp(const std::string& serverPath, const std::string& name) {
  RemoveFile(TempPath(name));
  // Asked before every fetch: the 3rd party apps package replaces the wget folder.
  UseInstallationWgetrc(UpdaterBaseDir);
  return RunAndWait(ToolCommandLine(UpdaterBaseDir, "wget\\wget.exe -q -P temp\\ ") + Server + serverPath,
                    ShowNormal);
}

void Unpack(const std::string& switches, const std::string& archive) {
  RunAndWait(ToolCommandLine(UpdaterBaseDir, "7z\\7za.exe x -bd ") + switches + " temp\\" + archive,
             ShowNormal);
}

// A package for which the server's version file gives a SHA-256 is installed only when it
// is that very file. Without the key it goes on as it comes, and so does an archive that
// did not arrive at all, which installs nothing anyway.
bool PackageIsSound(const PackageVersion& v, const std::string& zip) {
  if (v.sha256.empty() || !FileExists(TempPath(zip)) || FileHasSha256(TempPath(zip), v.sha256))
    return true;
  WriteLine(" > The package is damaged (SHA-256 does not match); it was not installed. ");
  return false;
}

void UpdateProgram(const PackageVersion& v) {
  const std::string zip = std::to_string(v.server) + ".zip";
  WriteLine(" > Downloading new program version " + v.text + " ...");
  FetchToTemp("upt/prg/" + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  if (PackageIsSound(v, zip)) {
    Unpack("-o..\\ -Y", zip);
    MakeExecutable(UpdaterBaseDir + "quillhaven.exe");
  }
  WriteLine();
  RemoveFile(TempPath(zip));
}

void UpdateDatabase(const PackageVersion& v) {
  const std::string zip = std::to_string(v.server) + ".zip";
  WriteLine(" > Downloading new database version " + v.text + " ...");
  FetchToTemp("upt/db/" + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  if (PackageIsSound(v, zip)) Unpack("-o..\\" + DbDir + "\\ -y", zip);
  WriteLine();
  RemoveFile(TempPath(zip));
}

// The old tools are removed before the new ones are unpacked, wget among them; so they are
// removed only when the new package is there and whole, or the installation would be left
// without QEMU and without the means to download anything.
void UpdateTools(const PackageVersion& v) {
  const std::string zip = std::to_string(v.server) + ".zip";
  WriteLine();
  WriteLine(" > Downloading new 3rd party apps. Package version " + v.text + " ...");
  FetchToTemp("upt/3/" + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  if (PackageIsSound(v, zip)) {
    if (FileExists(TempPath(zip)) &&
        RunAndWait(ToolCommandLine(UpdaterBaseDir, "7z\\7za.exe t temp\\") + zip, ShowNormal) == 0) {
      DeleteDirTree(UpdaterBaseDir + "qemu", true);
      DeleteDirTree(UpdaterBaseDir + "kqemu", true);
      DeleteDirTree(UpdaterBaseDir + "wget", true);
      Unpack("-o..\\ -y", zip);
      for (const char* tool : {"qemu\\qemu.exe", "qemu\\qemu-img.exe", "wget\\wget.exe"})
        MakeExecutable(UpdaterBaseDir + tool);
    } else {
      WriteLine(" > The package did not arrive whole; 3rd party apps were not updated. ");
    }
  }
  WriteLine();
  RemoveFile(TempPath(zip));
}

// Hands the new updater package to the self-update helper, which replaces this program
// once it has ended. Returns false when the helper could not be started.
bool HandOverToHelper(const PackageVersion& v) {
  const std::string zip = std::to_string(v.server) + ".zip";
  WriteLine(" > Downloading new updater version " + v.text + " ...");
  FetchToTemp("upt/up/" + zip, zip);
  WriteLine();
  WriteLine(" > Unpacking ... ");
  // A package left from an earlier run must not be installed in place of this one.
  RemoveFile(TempPath("upt.zip"));
  if (!PackageIsSound(v, zip)) {
    RemoveFile(TempPath(zip));
    return false;
  }
  MoveFileReplace(TempPath(zip), TempPath("upt.zip"));
  MakeExecutable(UpdaterBaseDir + "updater\\upt.exe");
  if (ShellStart("", UpdaterBaseDir + "updater\\upt.exe", "", UpdaterBaseDir + "updater\\",
                 ShowNormal) > 32)
    return true;
  WriteLine(" > The updater could not be updated: updater\\upt.exe did not start. ");
  return false;
}

void StartMainProgram() {
  WriteText("Press <Enter> to continue");
  WaitForEnter();
  ShellStart("open", UpdaterBaseDir + "quillhaven.exe", "", UpdaterBaseDir, ShowNormal);
}

void RunUpdate() {
  UpdaterBaseDir = ExeDir() + "..\\";
  // The command lines name "temp\" and "..\" relative to the updater's folder, wherever it
  // was started from.
  SetWorkDir(ExeDir());
  ShowUpdaterBanner();
  WriteLine("Checking for new updates ...");
  if (!DirExists(UpdaterBaseDir + "updater\\temp")) MakeDir(UpdaterBaseDir + "updater\\temp");
  Server = UpdateServer(UpdaterBaseDir);
  const int fetched = FetchToTemp("ver.ini", "ver.ini");
  WriteLine();
  const std::string unreachable = UnreachableReason(fetched, TempPath("ver.ini"));
  if (!unreachable.empty()) {
    RemoveFile(TempPath("ver.ini"));
    WriteLine(" > Unable to reach the update server (" + unreachable + "). Nothing was updated. ");
    WriteLine();
    StartMainProgram();
    return;
  }

  UpdateVersions versions;
  DbDir = ReadLocalVersions(UpdaterBaseDir, versions);
  ReadServerVersions(TempPath("ver.ini"), versions);
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
