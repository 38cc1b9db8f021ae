#include "qemu_front/front.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "main_func/files.h"
#include "main_func/process.h"
#include "main_func/command_words.h"
#include "qemu_front/error_file.h"
#include "qemu_front/find_qemu.h"
#include "qemu_front/front_config.h"
#include "qemu_front/host_facts.h"
#include "qemu_front/translate.h"

namespace {

constexpr int NotRun = 1;  // QEMU's own code for a launch it refuses

// The error file is a message for the screen that follows, not data to keep: a plain
// write spares each launch the flushes to disk of an atomic one.
void WriteErrorFile(const std::string& errPath, const std::string& text) {
  std::ofstream out(NativePath(errPath), std::ios::binary | std::ios::trunc);
  out << text;
}

int Refuse(const std::string& errPath, const std::string& message) {
  WriteErrorFile(errPath, message + "\n");
  return NotRun;
}

// A [qemu] system that names the front end itself would start it again and again.
bool IsThisProgram(const std::string& path) {
  std::error_code ec;
  return std::filesystem::equivalent(NativePath(path), ExePath(), ec);
}

}  // namespace

int RunFront(const std::vector<std::string>& args) {
  const std::string dir = ExeDir();
  const std::string errPath = dir + "stderr.txt";
  const std::string iniPath = dir + "qemu.ini";
  // The error file of an earlier launch never survives this one: QEMU's standard error
  // replaces it, and so does every message of the front end's own.

  const FrontConfig config = ReadFrontConfig(iniPath);
  const bool wantAudio = config.audio.empty() &&
                         std::find(args.begin(), args.end(), "-soundhw") != args.end();
  const HostFacts host = GatherHostFacts(wantAudio);
  const Translation translation = TranslateArgs(args, host, config);
  if (!translation.ok) return Refuse(errPath, translation.error);

  const char* pathEnv = std::getenv("PATH");
  const std::string qemu = FindQemu(config.system, dir, pathEnv ? pathEnv : "", host.os,
                                    [](const std::string& p) { return FileExists(p); });
  if (qemu.empty()) {
    std::string wanted = config.system.empty() ? QemuProgramName(host.os) : config.system;
    return Refuse(errPath, "qemu: QEMU not found (" + wanted + "); install it or set [qemu] system in " +
                               NativePath(iniPath));
  }
  if (IsThisProgram(qemu)) {
    return Refuse(errPath, "qemu: [qemu] system in " + NativePath(iniPath) +
                               " names this front end, not QEMU");
  }

  std::vector<std::string> words{qemu};
  words.insert(words.end(), translation.args.begin(), translation.args.end());
  const std::string commandLine = JoinWords(words);
  const int code = RunRedirected(commandLine, "", "", "", errPath);
  if (code == -1) {
    std::string errors;
    ReadWholeFile(errPath, errors);
    if (!errors.empty() && errors.back() != '\n') errors += '\n';
    return Refuse(errPath, errors + "qemu: cannot start " + NativePath(qemu));
  }

  std::string errors;
  if (ReadWholeFile(errPath, errors)) {
    std::string kept = DropRawProbeWarnings(errors);
    if (kept != errors) WriteErrorFile(errPath, kept);
  }
  return code;
}
