#include "os/launch.h"

#include <string>

#include "c_api/console.h"
#include "c_api/screen.h"
#include "db/layout.h"
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

uint64_t ReadTotalPhysFromSystem() {
  MemoryRecord record;
  GetMemoryStatus(record);
  return record.ullTotalPhys;
}

// The menu's amounts by line number; lines 6 to 9 are offered only on large 64-bit hosts.
const int RamAmounts[] = {0, 128, 256, 384, 512, 1024, 2048, 4096, 8192, 16384};
constexpr int FixedRamLines = 5;
constexpr int LargestRamLine = 9;

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
TotalPhysReader ReadTotalPhys = ReadTotalPhysFromSystem;

int RamMenuLines(uint64_t totalBytes, bool host64) {
  int lines = FixedRamLines;
  if (!host64) return lines;
  // A guest gets at most half of the host's memory, so that the host itself keeps working.
  const uint64_t halfMegabytes = totalBytes / 1024 / 1024 / 2;
  while (lines < LargestRamLine && static_cast<uint64_t>(RamAmounts[lines + 1]) <= halfMegabytes)
    ++lines;
  return lines;
}

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
  const int lines =
      RamMenuLines((ReadTotalPhys ? ReadTotalPhys : ReadTotalPhysFromSystem)(), Is64BitHost());
  for (int line = FixedRamLines + 1; line <= lines; ++line)
    WriteLine("     " + std::to_string(line) + ") " + std::to_string(RamAmounts[line]) + "MB");
  WriteLine();
  WriteLine("     0) Exit");
  WriteLine();
  // Without a sixth line, 6 is accepted though not listed, and leaves like 0.
  const int answer = ReadChoice(lines == FixedRamLines ? FixedRamLines + 1 : lines);
  if (answer >= 1 && answer <= lines) return RamAmounts[answer];
  return NoneMarker;
}

bool ShowHostOs() {
  WriteText(" Host OS: ");
  HostIs64Bit = Is64BitHost();
  WriteLine(HostIs64Bit ? "64-bit" : "32-bit");
  return HostIs64Bit;
}

void StartKqemu() { RunKqemuTool(" Starting kqemu ...", KqemuStartFile); }

void StopKqemu() { RunKqemuTool(" Stopping kqemu ...", KqemuStopFile); }

bool CheckRamForQemu(int megabytes) {
  if (DisableRamCheck) return true;
  WriteText(" Ram for qemu: " + std::to_string(megabytes) + "mb");
  // 2047 MB was the most the 32-bit QEMU could give a guest; 64-bit hosts have no such bound.
  if (megabytes < 10 || (!HostIs64Bit && megabytes > 2047)) {
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
