#include "quillhaven/check_files.h"

#include <cstdint>
#include <string>
#include <vector>

#include "db/ini_file.h"
#include "db/layout.h"
#include "db/settings.h"
#include "db/update_server.h"
#include "main_func/addresses.h"
#include "main_func/command_words.h"
#include "main_func/download_reason.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "main_func/sysinfo.h"
#include "main_func/text_helpers.h"
#include "options/options_menu.h"
#include "trust/digest.h"
#include "trust/signed_release.h"
#include "updater/journal.h"
#include "updater/self_install.h"

namespace {

// wget saves a second copy as NAME.1 beside a file of the same name, so a stale copy
// left in the download folder would be read instead of the fresh one.
// A version file and its signature (maxBytes above 0) are bounded while they arrive; one
// that was cut off is removed, so it counts as not arrived. Returns wget's exit code.
int Fetch(const std::string& folder, const std::string& address, const std::string& name,
          std::uint64_t maxBytes = 0) {
  const std::string path = AppDir + folder + name;
  RemoveFile(path);
  const std::string line =
      ToolCommandLine(AppDir, ToolFile(WgetProgram) + " -q -P ") + folder + " " + address;
  if (maxBytes == 0) return RunAndWait(line, ShowNormal);
  const int code = RunBoundedFetch(line, path, maxBytes);
  if (code == FetchTooLarge || code == FetchTooLong) RemoveFileAnyway(path);
  return code;
}

// True unless the server's version file gives a SHA-256 for a fetched file that has
// another one. A file that did not arrive is left to the usual test of what got installed.
bool FetchedIsSound(const std::string& path, const std::string& sha256) {
  return sha256.empty() || !FileExists(path) || FileHasSha256(path, sha256);
}

const char* const DamagedEnding = " is damaged (SHA-256 does not match); it was not installed.";

// Fetches the updater package and the self-update helper into "updater\", from a server
// whose version file passes its checks.
void FetchUpdater() {
  const std::string server = UpdateServer(AppDir);
  const std::vector<std::string> keys = TrustedKeys(AppDir);
  const std::string serverVerIni = AppDir + ProgramTempFolder + VersionFileName;
  Fetch(ProgramTempFolder, server + VersionFileName, VersionFileName, MaxVersionFileSize);
  const std::string signature = std::string(VersionFileName) + ".sig";
  if (!keys.empty()) Fetch(ProgramTempFolder, server + signature, signature, MaxVersionFileSize);
  WriteText(".");
  const ReleaseCheck release =
      CheckRelease(keys, serverVerIni, AppDir + ReleaseFile);
  // A version file that did not arrive names no package that could be trusted: nothing more
  // is fetched, and the final check reports the failure after the usual progress dots.
  if (release == ReleaseCheck::Missing) {
    WriteLine("......");
    return;
  }
  if (release != ReleaseCheck::Unsigned && release != ReleaseCheck::Accepted) {
    WriteLine();
    WriteLine("    The update server's version file " + ReleaseProblem(release) + ".");
    return;
  }
  const IniFile serverVersions(serverVerIni);
  const std::string n = std::to_string(serverVersions.ReadInteger("updater", "aver", 1));
  const std::string packageSha256 = serverVersions.ReadString("updater", "sha256", "");
  const std::string helperSha256 = serverVersions.ReadString("updater", "uptsha256", "");
  RemoveFile(serverVerIni);
  WriteText(".");
  if (release == ReleaseCheck::Accepted && (packageSha256.empty() || helperSha256.empty())) {
    WriteLine();
    WriteLine("    The signed version file gives no SHA-256 for the updater; it was not installed.");
    return;
  }

  const std::string package = n + ".zip";
  const int fetched = Fetch(ProgramTempFolder, server + "upt/up/" + package, package);
  WriteText("..");
  // wget's own code says why a package is missing or cut short (a full disk, say); only a
  // package that arrived is judged by its SHA-256.
  if (fetched != 0) {
    RemoveFileAnyway(AppDir + ProgramTempFolder + package);
    WriteLine();
    WriteLine("    The updater package could not be downloaded: " + WgetFailureReason(fetched) +
              "; it was not installed.");
  } else if (!FetchedIsSound(AppDir + ProgramTempFolder + package, packageSha256)) {
    WriteLine();
    WriteLine(std::string("    The updater package") + DamagedEnding);
  } else {
    std::string failure;
    if (!InstallUpdaterPackage(AppDir, UpdaterFolder, ProgramTempFolder + package, ShowHidden,
                               failure)) {
      WriteLine();
      WriteLine("    " + failure + "; the updater was not installed.");
      return;
    }
    WriteText("..");

    // An older helper waits in the download folder, so that a failed or refused fetch does
    // not leave the installation without any.
    const std::string helper = AppDir + HelperProgram;
    const std::string keptHelper = AppDir + ProgramTempFolder + HelperName;
    const bool hadHelper = FileExists(helper) && MoveFileReplace(helper, keptHelper);
    const std::string wget = ToolFile(WgetProgram) + " -q -P " + UpdaterFolder + " ";
    RunAndWait(ToolCommandLine(AppDir, wget) + server + "upt/up/" + HelperName, ShowNormal);
    const bool helperSound = FetchedIsSound(helper, helperSha256);
    if (!helperSound) RemoveFile(helper);
    if (hadHelper && !FileExists(helper)) MoveFileReplace(keptHelper, helper);
    WriteLine(".");
    if (!helperSound) WriteLine(std::string("    The self-update program") + DamagedEnding);
    MakeExecutable(helper);
  }
}

// Installs the updater into "updater\": from the package the self-update helper left, or
// fetched from the update server. Returns true when a whole updater is there afterwards.
bool BootstrapUpdater() {
  WriteLine(" [ ERROR ] - updater is outdated or missing.");
  MakeDir(AppDir + ProgramTempFolder);
  if (!DirExists(AppDir + UpdaterFolder)) MakeDir(AppDir + UpdaterFolder);
  // A package the updater checked and handed to the self-update helper, which did not
  // install it, repairs the updater without a download.
  const std::string handedOver = HandedOverPackage;
  bool repaired = false;
  if (FileExists(AppDir + handedOver)) {
    WriteText("    Installing the package left in updater\\temp ...");
    std::string failure;
    repaired = InstallUpdaterPackage(AppDir, UpdaterFolder, handedOver, ShowHidden, failure) &&
               UpdaterIsWhole(AppDir);
    if (!repaired && failure.empty()) failure = "It holds no updater that can start";
    WriteLine(repaired ? " done." : " " + failure + ".");
  }
  if (!repaired) {
    WriteText("    Downloading new one ...");
    FetchUpdater();
  }
  // The tools may have left more in the folder than the files named above.
  DeleteDirTree(AppDir + ProgramTempFolder, true);
  if (UpdaterIsWhole(AppDir)) RemoveFile(AppDir + handedOver);

  if (UpdaterIsWhole(AppDir)) {
    WriteLine(" [ OK ]");
    return true;
  }
  WriteLine(std::string(" [ FAILED ] => Please download new Quillhaven from ") + HomepageText);
  return false;
}

// A folder of the layout (ending in a separator) as the clean-up names it, without.
std::string WithoutSeparator(const std::string& folder) {
  return folder.substr(0, folder.size() - 1);
}

// Writes the status ending of a check line and tells whether the file is there.
bool CheckPresent(const std::string& label, const std::string& relPath) {
  WriteText(label);
  const bool present = FileExists(AppDir + relPath);
  if (present) WriteLine(" [ OK ]");
  return present;
}

// True when the start-up clean-up may remove folder (below AppDir, given without a trailing
// separator). It never removes a folder that is, or holds, a folder the installation lives
// on, nor one that is a link or junction to elsewhere (removing its contents would empty
// the folder it points to); it says once why it kept it.
bool MayCleanUp(const std::string& relFolder) {
  const std::string folder = ResolvedPath(AppDir + relFolder);
  if (folder.empty()) return false;
  const std::string kept[][2] = {{ImagesFolder(), "the images folder"},
                                 {AppDir + DbDir, "the database folder"},
                                 {AppDir, "the installation folder"}};
  std::string why;
  for (const auto& [path, what] : kept) {
    const std::string resolved = ResolvedPath(path);
    if (resolved.empty() || resolved.compare(0, folder.size(), folder) != 0) continue;
    if (resolved.size() == folder.size() || resolved[folder.size()] == '/' ||
        resolved[folder.size()] == '\\') {
      why = "it is, or holds, " + what;
      break;
    }
  }
  // Letter case aside (Windows gives the stored one), the folder resolves to where its
  // name says unless it is a link or junction.
  if (why.empty() && !SameNoCase(folder, NativePath(ResolvedPath(AppDir) + "\\" + relFolder)))
    why = "it is a link to another folder";
  if (why.empty()) return true;
  WriteLine(" " + NativePath(AppDir + relFolder) + " was not cleaned up: " + why + ".");
  return false;
}

}  // namespace

bool TakeUpdateLockAtStart(const std::string& baseDir, UpdateLock& lock) {
  static bool said = false;
  if (lock.Take(baseDir) != UpdateLock::State::Busy) return true;
  if (!said) WriteLine(" > An update is running; its files are left as they are. ");
  said = true;
  return false;
}

void CheckFiles() {
  WriteLine();

  if (!DirExists(ImagesFolder())) MakeDir(ImagesFolder());
  // Released when the check ends: the main program never holds it in its menus.
  UpdateLock lock;
  bool mayUpdate = TakeUpdateLockAtStart(AppDir, lock);
  // The backups of an update that could not be undone yet wait there for the next try;
  // a package handed to the self-update helper stays while it is the only way to repair
  // an updater that cannot start.
  const std::string updaterTemp = WithoutSeparator(UpdaterTempFolder);
  if (mayUpdate && DirExists(AppDir + updaterTemp) && !UpdateJournalPending(AppDir) &&
      (UpdaterIsWhole(AppDir) || !FileExists(AppDir + HandedOverPackage)) &&
      MayCleanUp(updaterTemp))
    DeleteDirTree(AppDir + updaterTemp, true);
  const std::string programTemp = WithoutSeparator(ProgramTempFolder);
  if (DirExists(AppDir + programTemp) && MayCleanUp(programTemp))
    DeleteDirTree(AppDir + ProgramTempFolder, true);

  const std::string leftUpdater = AppDir + UpdaterName;  // in the main directory itself
  if (FileExists(leftUpdater) && FileExists(AppDir + UpdaterProgram)) {
    RemoveFile(leftUpdater);
    // On Windows the updater starts at once and takes the lock itself.
    lock.Release();
    mayUpdate = false;
    StartUpdater();
  }

  WriteLine("Checking files ...");
  bool failed = false;

  WriteText("  Updater ...");
  if (UpdaterIsWhole(AppDir)) {
    WriteLine(" [ OK ]");
  } else if (!mayUpdate) {
    WriteLine(" [ ERROR ]");  // an update runs: it is not fetched a second time
    failed = true;
  } else if (!BootstrapUpdater()) {
    failed = true;
  }

  if (!CheckPresent("  Qemu ...", ToolFile(QemuProgram))) {
    WriteLine(" [ ERROR ]");
    failed = true;
  }

  if (!CheckPresent("  KQemu ...", KqemuStartFile)) {
    // kqemu only runs on 32-bit hosts; elsewhere its absence is expected.
    if (Is64BitHost()) {
      WriteLine(" [ WARN! ]");
    } else {
      WriteLine(" [ ERROR ]");
      failed = true;
    }
  }

  if (!CheckPresent("  WGet ...", ToolFile(WgetProgram))) {
    WriteLine(" [ ERROR ]");
    failed = true;
  }

  // Every update is unpacked by 7-Zip; its line shows only when it is missing, so that a
  // complete installation's screen stays as it always was.
  if (!FileExists(AppDir + SevenZipFile)) {
    WriteLine("  7-Zip ... [ ERROR ]");
    failed = true;
  }

  if (failed) WaitForEnter();
}
