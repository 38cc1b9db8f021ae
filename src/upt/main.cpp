// The self-update helper. The updater cannot replace its own program file while it runs, so
// it leaves the new updater package in "updater\temp\upt.zip", starts this helper and ends.
// The helper unpacks the package into "updater\" once the updater's files can be replaced,
// removes it, and starts the updater again, which then finds nothing newer and starts the
// main program.
#include <chrono>
#include <string>
#include <thread>

#include "db/ini_file.h"
#include "main_func/command_words.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"

namespace {

// How long the helper waits for the updater to end and let go of its files.
constexpr auto UnpackTimeLimit = std::chrono::seconds(20);
constexpr auto RetryPause = std::chrono::milliseconds(250);

int InstalledUpdaterNumber(const std::string& dir) {
  return IniFile(dir + "ver.ini").ReadInteger("version", "aver", 1);
}

// On Windows the running updater's file cannot be overwritten, and 7-Zip fails on it; the
// updater ends right after starting this helper, so the unpack is repeated until it works.
bool Unpack(const std::string& dir) {
  const std::string sevenZip = ToolCommandLine(dir, "..\\7z\\7za.exe");
  if (RunAndWait(sevenZip + " t temp\\upt.zip", ShowNormal) != 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + UnpackTimeLimit;
  while (RunAndWait(sevenZip + " x -bd -o.\\ -y temp\\upt.zip", ShowNormal) != 0) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(RetryPause);
  }
  return true;
}

}  // namespace

int main() {
  const std::string dir = ExeDir();  // the updater folder
  // The command lines name the archive and the output folder relative to the updater
  // folder; the updater starts the helper there, and this makes sure of it.
  SetWorkDir(dir);
  WriteLine("Quillhaven self-update");
  WriteLine();
  WriteLine(" > Installing new updater ... ");

  const std::string archive = dir + "temp\\upt.zip";
  const int before = InstalledUpdaterNumber(dir);
  const bool unpacked = FileExists(archive) && Unpack(dir);
  if (unpacked) MakeExecutable(dir + "updater.exe");
  RemoveFile(archive);

  // The updater is started again only when its number went up; otherwise it would find
  // the same package newer again and hand over to this helper without end.
  if (unpacked && InstalledUpdaterNumber(dir) > before) {
    WriteLine(" > Starting new updater ... ");
    ShellStart("open", dir + "updater.exe", "", dir, ShowNormal);
  } else {
    WriteLine(" > The new updater could not be installed; the old one stays. ");
    WriteLine();
    WriteText("Press <Enter> to continue");
    WaitForEnter();
    ShellStart("open", dir + "..\\quillhaven.exe", "", dir + "..\\", ShowNormal);
  }
  RunPendingHandOver();
  return 0;
}
