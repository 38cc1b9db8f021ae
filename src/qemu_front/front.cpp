#include "qemu_front/front.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "main_func/files.h"
#include "main_func/process.h"
#include "qemu_front/command_words.h"
#include "qemu_front/error_file.h"
#include "qemu_front/find_qemu.h"
#include "qemu_front/front_config.h"
#include "qemu_front/host_facts.h"
#include "qemu_front/translate.h"

namespace {

constexpr int NotRun = 1;  // QEMU's own code for a launch it refuses

int Refuse(const std::string& errPath, const std::string& message) {
  WriteFileAtomic(errPath, message + "\n");
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
  // Emptied first: an error file left from an earlier launch would be shown again.
  WriteFileAtomic(errPath, "");

  const FrontConfig config = ReadFrontConfig(iniPath);
  const HostFacts host = GatherHostFacts();
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
    if (kept != errors) WriteFileAtomic(errPath, kept);
  }
  return code;
}
