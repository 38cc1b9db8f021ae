// Starting QEMU for one OS image, and showing QEMU's error file afterwards.
#pragma once
#include <string>

std::string QemuBaseCommand(bool host64, bool disableKqemu);
// The whole QEMU command line; returns "" for an ostype other than cdrom, hdd or fdd.
std::string OsCommandLine(const std::string& appDir, const std::string& imagesDir,
                          bool host64, bool disableKqemu, int megabytes,
                          const std::string& vga, const std::string& ostype,
                          const std::string& filename, bool withHdb, bool uefi = false);
// The file beside an image that keeps a UEFI entry's firmware variables (its boot entries).
std::string UefiVarsName(const std::string& filename);
// firmware: "" or "bios" boots through the BIOS, "uefi" through UEFI firmware that the QEMU
// front end finds; any other value is refused with one line before the memory menu.
void RunOs(const std::string& name, const std::string& version, const std::string& filename,
           const std::string& ostype, const std::string& vga, const std::string& firmware = "");
void ShowQemuErrors();
