// UEFI boots in the QEMU front end. Quillhaven's command line asks for UEFI with the
// front end's own option "-uefi VARS" (VARS: the entry's variables file beside its image);
// the front end finds the firmware, makes VARS from the firmware's template when it is
// missing, and gives QEMU both as flash drives.
#pragma once
#include <string>
#include <vector>

#include "qemu_front/translate.h"

// qemu\qemu.ini, section [qemu], keys uefi= (the firmware's code file) and uefivars= (its
// variables template); both empty = search.
struct UefiConfig {
  std::string code;
  std::string vars;
};
UefiConfig ReadUefiConfig(const std::string& iniPath);

// Removes "-uefi VARS" from args and sets vars. Returns false (with error set) for a
// "-uefi" without a value or given twice; true otherwise, vars "" when not asked for.
bool TakeUefiOption(std::vector<std::string>& args, std::string& vars, std::string& error);

struct FirmwarePair {
  std::string code;
  std::string vars;  // the template
};

// The code and template files of one firmware descriptor (QEMU's firmware/*.json) when it
// describes x86_64 UEFI flash firmware without Secure Boot; false for any other text.
bool ParseFirmwareDescriptor(const std::string& json, FirmwarePair& pair);

// The firmware of a UEFI launch: config's files when uefi= is set (a missing one is
// refused, never replaced), else the first fitting descriptor in descriptorDirs (files
// taken by name, as QEMU orders them), else the Debian pair in debianDir ("" skips it).
// Returns false with error set when nothing is found.
bool FindUefiFirmware(const UefiConfig& config, const std::vector<std::string>& descriptorDirs,
                      const std::string& debianDir, FirmwarePair& pair, std::string& error);

// Where QEMU keeps its firmware descriptors, from the path of the QEMU that is run.
std::vector<std::string> DescriptorDirs(const std::string& qemuPath);

// Makes vars from the template when it is missing and returns the flash-drive arguments;
// ok false with the message for qemu\stderr.txt when the copy fails.
Translation UefiArgs(const FirmwarePair& firmware, const std::string& vars);
