#include "quillhaven/check_files.h"

#include <string>

#include "db/ini_file.h"
#include "db/settings.h"
#include "db/update_server.h"
#include "main_func/addresses.h"
#include "main_func/command_words.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "main_func/sha256.h"
#include "main_func/sysinfo.h"
#include "options/options_menu.h"

namespace {

// wget saves a second copy as NAME.1 beside a file of the same name, so a stale copy
// left in the download folder would be read instead of the fresh one.
void Fetch(const std::string& folder, const std::string& address, const std::string& name) {
  RemoveFile(AppDir + folder + name);
  RunAndWait(ToolCommandLine(AppDir, "wget\\wget.exe -q -P ") + folder + " " + address, ShowNormal);
}

// True unless the server's version file gives a SHA-256 for a fetched file that has
// another one. A file that did not arrive is left to the usual test of what got installed.
bool FetchedIsSound(const std::string& path, const std::string& sha256) {
  return sha256.empty() || !FileExists(path) || FileHasSha256(path, sha256);
}

const char* const DamagedEnding = " is damaged (SHA-256 does not match); it was not installed.";

// Fetches the updater from the update server into "updater\". Returns true when
// "updater\updater.exe" is there afterwards.
bool BootstrapUpdater() {
  WriteLine(" [ ERROR ] - updater is outdated or missing.");
  WriteText("    Downloading new one ...");
  MakeDir(AppDir + "temp");
  if (!DirExists(AppDir + "updater")) MakeDir(AppDir + "updater");
  const std::string server = UpdateServer(AppDir);

  Fetch("temp\\", server + "ver.ini", "ver.ini");
  WriteText(".");
  const IniFile serverVersions(AppDir + "temp\\ver.ini");
  const std::string n = std::to_string(serverVersions.ReadInteger("updater", "aver", 1));
  const std::string packageSha256 = serverVersions.ReadString("updater", "sha256", "");
  const std::string helperSha256 = serverVersions.ReadString("updater", "uptsha256", "");
  RemoveFile(AppDir + "temp\\ver.ini");
  WriteText(".");

  Fetch("temp\\", server + "upt/up/" + n + ".zip", n + ".zip");
  WriteText("..");
  if (!FetchedIsSound(AppDir + "temp\\" + n + ".zip", packageSha256)) {
    WriteLine();
    WriteLine(std::string("    The updater package") + DamagedEnding);
  } else {
    RunAndWait(ToolCommandLine(AppDir, "7z\\7za.exe x -bd -oupdater\\ -y temp\\") + n + ".zip",
               ShowHidden);
    WriteText("..");

    // An older helper waits in the download folder, so that a failed or refused fetch does
    // not leave the installation without any.
    const std::string helper = AppDir + "updater\\upt.exe";
    const bool hadHelper = FileExists(helper) && MoveFileReplace(helper, AppDir + "temp\\upt.exe");
    RunAndWait(ToolCommandLine(AppDir, "wget\\wget.exe -q -P updater\\ ") + server + "upt/up/upt.exe",
               ShowNormal);
    const bool helperSound = FetchedIsSound(helper, helperSha256);
    if (!helperSound) RemoveFile(helper);
    if (hadHelper && !FileExists(helper)) MoveFileReplace(AppDir + "temp\\upt.exe", helper);
    WriteLine(".");
    if (!helperSound) WriteLine(std::string("    The self-update program") + DamagedEnding);
    MakeExecutable(AppDir + "updater\\updater.exe");
    MakeExecutable(helper);
  }

  RemoveFile(AppDir + "temp\\" + n + ".zip");
  // A tool may have left more in the folder than the two files named above.
  DeleteDirTree(AppDir + "temp", true);

  if (FileExists(AppDir + "updater\\updater.exe")) {
    WriteLine(" [ OK ]");
    return true;
  }
  WriteLine(std::string(" [ FAILED ] => Please download new Quillhaven from ") + HomepageText);
  return false;
}

// Writes the status ending of a check line and tells whether the file is there.
bool CheckPresent(const std::string& label, const std::string& relPath) {
  WriteText(label);
  const bool present = FileExists(AppDir + relPath);
  if (present) WriteLine(" [ OK ]");
  return present;
}

}  // namespace

void CheckFiles() {
  WriteLine();

  if (!DirExists(AppDir + ImagesDir)) MakeDir(AppDir + ImagesDir);
  if (DirExists(AppDir + "updater\\temp")) DeleteDirTree(AppDir + "updater\\temp", true);
  if (DirExists(AppDir + "temp")) DeleteDirTree(AppDir + "temp\\", true);

  if (FileExists(AppDir + "updater.exe") && FileExists(AppDir + "updater\\updater.exe")) {
    RemoveFile(AppDir + "updater.exe");
    StartUpdater();
  }

  WriteLine("Checking files ...");
  bool failed = false;

  if (!CheckPresent("  Updater ...", "updater\\updater.exe") && !BootstrapUpdater())
    failed = true;

  if (!CheckPresent("  Qemu ...", "qemu\\qemu.exe")) {
    WriteLine(" [ ERROR ]");
    failed = true;
  }

  if (!CheckPresent("  KQemu ...", "kqemu\\RUR-Iradu.exe")) {
    // kqemu only runs on 32-bit hosts; elsewhere its absence is expected.
    if (Is64BitHost()) {
      WriteLine(" [ WARN! ]");
    } else {
      WriteLine(" [ ERROR ]");
      failed = true;
    }
  }

  if (!CheckPresent("  WGet ...", "wget\\wget.exe")) {
    WriteLine(" [ ERROR ]");
    failed = true;
  }

  if (failed) WaitForEnter();
}
