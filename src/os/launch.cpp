#include "os/launch.h"

#include <string>

#include "c_api/console.h"
#include "c_api/screen.h"
#include "db/settings.h"
#include "main_func/command_words.h"
#include "main_func/choice.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "main_func/sysinfo.h"

bool HostIs64Bit = false;

namespace {

uint64_t ReadAvailPhysFromSystem() {
  MemoryRecord record;
  GetMemoryStatus(record);
  return record.ullAvailPhys;
}

const char* const BoxFrame = " +----------------------------------------+ ";

// Runs one accelerator tool after its announcement; the tool's own result is not judged.
void RunKqemuTool(const std::string& announcement, const std::string& tool) {
  if (DisableKqemu || HostIs64Bit) return;
  WriteText(announcement);
  const std::string path = AppDir + tool;
  if (FileExists(path)) {
    RunAndWait(ToolCommandLine(AppDir, tool), ShowNormal);
    WriteLine(" [ OK ]");
  } else {
    WriteLine(" [ ERROR ]");
  }
}

}  // namespace

AvailPhysReader ReadAvailPhys = ReadAvailPhysFromSystem;

void ShowOsBox(const std::string& name, const std::string& version) {
  SetWindowTitle("Quillhaven - " + name);
  WriteLine();
  WriteLine(BoxFrame);
  WriteLine(" |" + CenterText(name + " " + version, 40) + "|");
  WriteLine(BoxFrame);
  WriteLine();
}

int SelectRam() {
  WriteLine(" Select RAM for QEMU");
  WriteLine();
  WriteLine("     1) 128MB");
  WriteLine("     2) 256MB");
  WriteLine("     3) 384MB");
  WriteLine("     4) 512MB");
  WriteLine("     5) 1024MB");
  WriteLine();
  WriteLine("     0) Exit");
  WriteLine();
  // 6 is accepted though not listed, and leaves like 0.
  switch (ReadChoice(6)) {
    case 1: return 128;
    case 2: return 256;
    case 3: return 384;
    case 4: return 512;
    case 5: return 1024;
    default: return NoneMarker;
  }
}

bool ShowHostOs() {
  WriteText(" Host OS: ");
  HostIs64Bit = Is64BitHost();
  WriteLine(HostIs64Bit ? "64-bit" : "32-bit");
  return HostIs64Bit;
}

void StartKqemu() { RunKqemuTool(" Starting kqemu ...", "kqemu\\RUR-Iradu.exe"); }

void StopKqemu() { RunKqemuTool(" Stopping kqemu ...", "kqemu\\RUR-Iradu-Halt.exe"); }

bool CheckRamForQemu(int megabytes) {
  if (DisableRamCheck) return true;
  WriteText(" Ram for qemu: " + std::to_string(megabytes) + "mb");
  if (megabytes < 10 || megabytes > 2047) {
    WriteLine(" [ ERROR ]");
    return false;
  }
  const uint64_t availBytes = (ReadAvailPhys ? ReadAvailPhys : ReadAvailPhysFromSystem)();
  // No host reports zero free bytes while it runs us: zero means the query failed. Refusing
  // every launch then would lock the user out, so the check passes with a warning instead.
  if (availBytes == 0) {
    WriteLine(" [ WARN! ]");
    return true;
  }
  const uint64_t freeMegabytes = availBytes / 1024 / 1024;
  if (static_cast<uint64_t>(megabytes) > freeMegabytes) {
    WriteLine(" [ ERROR ]");
    WriteLine(" Not enough free memory: asked for " + std::to_string(megabytes) + " MB, " +
              std::to_string(freeMegabytes) + " MB free");
    return false;
  }
  WriteLine(" [ OK ]");
  return true;
}

void ShowLaunchRefused(const std::string& line) {
  WriteLine();
  WriteLine(line);
  WriteLine();
  WriteText(" Press <Enter> to continue ");
  WaitForEnter();
}

void LaunchFailureEnding() {
  StopKqemu();
  WriteText(" Press <Enter> to exit ");
  WaitForEnter();
}
