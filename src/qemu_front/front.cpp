#include "qemu_front/front.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "db/layout.h"
#include "main_func/files.h"
#include "main_func/process.h"
#include "main_func/command_words.h"
#include "qemu_front/accel_probe.h"
#include "qemu_front/error_file.h"
#include "qemu_front/find_qemu.h"
#include "qemu_front/front_config.h"
#include "qemu_front/host_facts.h"
#include "qemu_front/image_format.h"
#include "qemu_front/translate.h"
#include "qemu_front/uefi.h"

namespace {

constexpr int NotRun = 1;  // QEMU's own code for a launch it refuses

// The error file is a message for the screen that follows, not data to keep: a plain
// write spares each launch the flushes to disk of an atomic one.
void WriteErrorFile(const std::string& errPath, const std::string& text) {
  std::ofstream out(NativePath(errPath), std::ios::binary | std::ios::trunc);
  out << text;
}

// qemu\qemu.log: everything of the last launch, for whoever wants to know what QEMU said
// (its warnings too, which the error file leaves out).
std::string LogPath(const std::string& errPath) {
  return errPath.substr(0, errPath.size() - std::string(QemuErrorName).size()) + "qemu.log";
}

int Refuse(const std::string& errPath, const std::string& message) {
  WriteErrorFile(errPath, message + "\n");
  WriteErrorFile(LogPath(errPath), message + "\n");
  return NotRun;
}

// The first lines of qemu.log: what was run, and on which accelerator.
std::string LogHeader(const std::string& commandLine, const std::vector<std::string>& args) {
  std::string accel;
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "-accel" || args[i] == "--accel") accel += (accel.empty() ? "" : ", ") + args[i + 1];
  }
  return "command line: " + commandLine + "\naccelerator: " + (accel.empty() ? "QEMU's default" : accel) +
         "\n\n";
}

// A [qemu] system that names the front end itself would start it again and again.
bool IsThisProgram(const std::string& path) {
  std::error_code ec;
  return std::filesystem::equivalent(NativePath(path), ExePath(), ec);
}

}  // namespace

int RunFront(const std::vector<std::string>& givenArgs) {
  const std::string dir = ExeDir();
  const std::string errPath = dir + QemuErrorName;
  const std::string iniPath = dir + QemuSettingsName;
  // The error file of an earlier launch never survives this one: QEMU's standard error
  // replaces it, and so does every message of the front end's own.

  const FrontConfig config = ReadFrontConfig(iniPath);
  std::vector<std::string> args = givenArgs;
  std::string uefiVars, uefiError;
  if (!TakeUefiOption(args, uefiVars, uefiError)) return Refuse(errPath, uefiError);
  const bool wantAudio = config.audio.empty() &&
                         std::find(args.begin(), args.end(), "-soundhw") != args.end();
  HostFacts host = GatherHostFacts(wantAudio);

  const char* pathEnv = std::getenv("PATH");
  const std::string qemu = FindQemu(config.system, dir, pathEnv ? pathEnv : "", host.os,
                                    [](const std::string& p) { return FileExists(p); });
  const bool runnable = !qemu.empty() && !IsThisProgram(qemu);
  if (runnable && NeedsAcceleratorList(host, config)) host.accelerators = ProbeAccelerators(qemu, dir);

  const Translation translation = TranslateArgs(args, host, config, CheckImageFile);
  if (!translation.ok) return Refuse(errPath, translation.error);
  if (qemu.empty()) {
    std::string wanted = config.system.empty() ? QemuProgramName(host.os) : config.system;
    return Refuse(errPath, "qemu: QEMU not found (" + wanted + "); install it or set [qemu] system in " +
                               NativePath(iniPath));
  }
  if (!runnable) {
    return Refuse(errPath, "qemu: [qemu] system in " + NativePath(iniPath) +
                               " names this front end, not QEMU");
  }

  std::vector<std::string> qemuArgs = translation.args;
  if (!uefiVars.empty()) {
    FirmwarePair firmware;
    std::string error;
    // Debian's ovmf package, for QEMU builds that ship no descriptors.
    const std::string debianDir = host.os == HostOs::Linux ? "/usr/share/OVMF" : "";
    if (!FindUefiFirmware(ReadUefiConfig(iniPath), DescriptorDirs(qemu), debianDir, firmware, error))
      return Refuse(errPath, error);
    const Translation uefi = UefiArgs(firmware, uefiVars);
    if (!uefi.ok) return Refuse(errPath, uefi.error);
    qemuArgs.insert(qemuArgs.end(), uefi.args.begin(), uefi.args.end());
  }
  std::vector<std::string> words{qemu};
  words.insert(words.end(), qemuArgs.begin(), qemuArgs.end());
  const std::string commandLine = JoinWords(words);
  const int code = RunRedirected(commandLine, "", "", "", errPath);
  std::string errors;
  ReadWholeFile(errPath, errors);
  if (code == -1) {
    if (!errors.empty() && errors.back() != '\n') errors += '\n';
    return Refuse(errPath, errors + "qemu: cannot start " + NativePath(qemu));
  }
  WriteErrorFile(LogPath(errPath), LogHeader(commandLine, qemuArgs) + errors);
  // Only errors reach the screen, whatever the exit code: a guest that ends through the
  // debug-exit port makes QEMU end with 1 on a good run.
  const std::string kept = DropWarnings(errors);
  if (kept != errors) WriteErrorFile(errPath, kept);
  return code;
}
