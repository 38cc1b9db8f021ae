// Expected screens of the launching and virtual-disk flows, built from the texts those
// screens draw, and the tool command lines as a fake tool logs them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "c_api/screen.h"
#include "main_func/sysinfo.h"
#include "support/screens.h"

namespace launchscreens {

// A command line's arguments as a tool receives them: the POSIX layer turns backslashes
// into slashes, Windows passes them on.
inline std::string Received(std::string text) {
#ifndef _WIN32
  for (char& c : text)
    if (c == '\\') c = '/';
#endif
  return text;
}

// One line of the fake tools' log.
inline std::string Logged(const std::string& tool, const std::string& arguments) {
  return tool + "\t" + Received(arguments);
}

// A fixture's options.ini that turns the free-memory check off, so that runs do not depend
// on the memory of the test machine.
inline const char* NoRamCheck() { return "[options]\r\ndisableramcheck=1\r\n"; }

inline std::string OsBox(const std::string& name, const std::string& version) {
  const std::string frame = " +----------------------------------------+ \n";
  return "\n" + frame + " |" + CenterText(name + " " + version, 40) + "|\n" + frame + "\n";
}

// The large amounts this host is offered: on a 64-bit host each of 2048 to 16384 MB that is at
// most half the memory the host reports.
inline std::vector<int> LargeRamAmounts() {
  std::vector<int> amounts;
  if (!Is64BitHost()) return amounts;
  MemoryRecord record;
  GetMemoryStatus(record);
  for (int amount : {2048, 4096, 8192, 16384})
    if (static_cast<uint64_t>(amount) * 2 <= record.ullTotalPhys / 1024 / 1024)
      amounts.push_back(amount);
  return amounts;
}

inline std::string RamMenu() {
  std::string lines;
  int line = 6;
  for (int amount : LargeRamAmounts())
    lines += "     " + std::to_string(line++) + ") " + std::to_string(amount) + "MB\n";
  return " Select RAM for QEMU\n\n     1) 128MB\n     2) 256MB\n     3) 384MB\n     4) 512MB\n"
         "     5) 1024MB\n" + lines + "\n     0) Exit\n\n" +
         Prompt();
}

// This is a 64-bit build, so every whole-program launch reports a 64-bit host and never
// touches the accelerator.
inline std::string HostLine() { return " Host OS: 64-bit\n"; }

// From the memory menu to the start of QEMU, with the memory check turned off.
inline std::string OsLaunchUntilQemu(const std::string& name, const std::string& version) {
  return OsBox(name, version) + RamMenu() + OsBox(name, version) + HostLine() + "\n " + name +
         " is now running,\n do NOT close this window \n";
}

// A whole OS launch whose QEMU leaves no error text.
inline std::string OsLaunch(const std::string& name, const std::string& version) {
  return OsLaunchUntilQemu(name, version) + "\n" + "\n Press <Enter> to continue ";
}

inline std::string QemuErrors(const std::string& firstLine) {
  return " Qemu .... [ ERROR ]\n  QEMU ERROR:   " + firstLine + "\n";
}

inline std::string QemuLine(const std::string& arguments) {
  return Logged("qemu/qemu.exe", arguments);
}

// The OS command line's arguments on this 64-bit build.
inline std::string OsQemuArguments(int megabytes, const std::string& vga,
                                   const std::string& media) {
  return "-L .\\qemu -localtime -soundhw all -m " + std::to_string(megabytes) + " -vga " + vga +
         " " + media;
}

inline std::string DownloadScreen(const std::string& name, const std::string& version) {
  return OsBox(name, version) +
         " Do not close this window!\n Press CTRL + C to stop downloading image\n\n"
         " Downloading " + name + " " + version + "\n\n";
}

inline std::string MissingLink() { return " * ERROR missing download link \n\n Press < ENTER >\n"; }

inline std::string YesNo() { return "     1) Yes\n     2) No\n\n" + Prompt(); }

// The size prompt; after a size refused for a reason, that reason's line above " > ".
inline std::string SizePrompt(const std::string& refusal = "") {
  return Header("VIRTUAL HDD") + "\n Enter the size of the new HDD:\n Examples: 100M, 1G, 5G, ...\n\n" +
         (refusal.empty() ? "" : " " + refusal + "\n") + " > ";
}

inline std::string DeletingOldHdd() {
  return Header("VIRTUAL HDD") + "\n Deleting old HDD, please wait.\n DO NOT CLOSE THIS WINDOW!\n\n";
}

// The creation screen up to the end of the qemu-img run (the tool writes nothing here).
inline std::string CreatingHdd(const std::string& size) {
  return Header("VIRTUAL HDD") + "\n Creating new HDD, please wait.\n DO NOT CLOSE THIS WINDOW!\n\n" +
         " Creating " + size + " HDD\n \n";
}

inline std::string HddCreated() {
  return " HDD was created succefully!\n Press <enter> to continue\n" + Header("VIRTUAL HDD") +
         "\n Your HDD was created succesfully\n"
         " Do you want to create partitions on it and/or format it?\n\n" +
         YesNo();
}

inline std::string QemuImgLine(const std::string& size) {
  return Logged("qemu/qemu-img.exe", "create -f vmdk images\\\\hdb.img " + size);
}

}  // namespace launchscreens
