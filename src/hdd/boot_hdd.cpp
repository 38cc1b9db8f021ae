#include "hdd/boot_hdd.h"

#include <string>

#include "c_api/console.h"
#include "db/layout.h"
#include "db/settings.h"
#include "hdd/hdd_setup.h"
#include "main_func/choice.h"
#include "main_func/command_words.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "os/launch.h"
#include "os/run_os.h"

namespace {

const char* const BootTitle = "Boot from HDD";

// Offers to create the missing disk; true when a disk is there afterwards to boot.
bool OfferToCreateHdd() {
  ClearScreen();
  ShowOsBox(BootTitle, "");
  WriteLine();
  WriteLine(" Your HDD not exists");
  WriteLine(" Do you want to create it?");
  WriteLine();
  WriteLine("     1) Yes");
  WriteLine("     2) No");
  WriteLine();
  if (ReadChoice(2) != 1) return false;
  return CreateHdd();
}

}  // namespace

std::string HddBootCommandLine(const std::string& appDir, const std::string& imagesDir,
                               bool host64, bool disableKqemu, int megabytes) {
  // The disk alone always gets the cirrus adapter, named before the memory.
  return ToolCommandLine(appDir, QemuBaseCommand(host64, disableKqemu)) + "-vga cirrus -m " +
         std::to_string(megabytes) + " -hdb " + ImageArgument(imagesDir, DiskName) +
         " -boot once=c";
}

void BootHdd() {
  const std::string disk = DiskPath();
  if (!FileExists(disk) && !OfferToCreateHdd()) return;
  if (!FileExists(disk)) return;

  ClearScreen();
  ShowOsBox(BootTitle, "");
  const int megabytes = SelectRam();
  if (megabytes == NoneMarker) return;

  ClearScreen();
  ShowOsBox(BootTitle, "");
  const bool host64 = ShowHostOs();
  StartKqemu();
  if (!CheckRamForQemu(megabytes)) {
    LaunchFailureEnding();
    return;
  }
  WriteLine();
  WriteLine();
  WriteLine(" Booting from HDD...");
  WriteLine(" do NOT close this window ");
  WriteLine();
  RunAndWait(HddBootCommandLine(AppDir, ImagesDir, host64, DisableKqemu, megabytes), ShowNormal);
  ShowQemuErrors();
  StopKqemu();
  WriteLine();
  WriteText(" Press <Enter> to continue ");
  WaitForEnter();
}
