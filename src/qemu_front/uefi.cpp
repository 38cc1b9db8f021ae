#include "qemu_front/uefi.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "db/ini_file.h"
#include "main_func/files.h"

namespace {

// A descriptor or template larger than this is no firmware file of any kind.
constexpr uint64_t MaxDescriptorBytes = 1 << 20;
constexpr uint64_t MaxTemplateBytes = 64ull << 20;

// The text of the JSON value after "key" from position from: the bracketed or braced
// block, or the string; "" when the key is not there. Enough for QEMU's descriptors,
// whose nesting these keys never repeat.
std::string Value(const std::string& json, const std::string& key, size_t from = 0) {
  size_t at = json.find("\"" + key + "\"", from);
  if (at == std::string::npos) return "";
  at = json.find(':', at + key.size() + 2);
  if (at == std::string::npos) return "";
  at = json.find_first_not_of(" \t\r\n", at + 1);
  if (at == std::string::npos) return "";
  const char open = json[at];
  if (open == '"') {
    const size_t end = json.find('"', at + 1);
    return end == std::string::npos ? "" : json.substr(at + 1, end - at - 1);
  }
  if (open != '[' && open != '{') return "";
  const char close = open == '[' ? ']' : '}';
  int depth = 0;
  for (size_t i = at; i < json.size(); ++i) {
    if (json[i] == open) ++depth;
    if (json[i] == close && --depth == 0) return json.substr(at, i - at + 1);
  }
  return "";
}

bool Names(const std::string& block, const std::string& word) {
  return block.find("\"" + word + "\"") != std::string::npos;
}

// QEMU's -drive reads commas as separators; a comma in a file name is written twice.
std::string DriveFile(const std::string& path) {
  std::string out;
  for (char c : path) {
    out += c;
    if (c == ',') out += ',';
  }
  return out;
}

Translation Failed(const std::string& message) {
  Translation t;
  t.error = message;
  return t;
}

}  // namespace

UefiConfig ReadUefiConfig(const std::string& iniPath) {
  IniFile ini(iniPath);
  return {ini.ReadString("qemu", "uefi", ""), ini.ReadString("qemu", "uefivars", "")};
}

bool TakeUefiOption(std::vector<std::string>& args, std::string& vars, std::string& error) {
  vars.clear();
  for (size_t i = 0; i < args.size();) {
    if (args[i] != "-uefi") {
      ++i;
      continue;
    }
    if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1][0] == '-' || !vars.empty()) {
      error = "qemu: option -uefi needs one variables file";
      return false;
    }
    vars = args[i + 1];
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i + 2));
  }
  return true;
}

bool ParseFirmwareDescriptor(const std::string& json, FirmwarePair& pair) {
  if (!Names(Value(json, "interface-types"), "uefi")) return false;
  const std::string mapping = Value(json, "mapping");
  if (Value(mapping, "device") != "flash") return false;
  if (!Names(Value(json, "targets"), "x86_64")) return false;
  // Secure Boot firmware needs SMM and a q35 machine, and refuses unsigned loaders.
  const std::string features = Value(json, "features");
  if (Names(features, "secure-boot") || Names(features, "enrolled-keys") ||
      Names(features, "requires-smm"))
    return false;
  pair.code = Value(Value(mapping, "executable"), "filename");
  pair.vars = Value(Value(mapping, "nvram-template"), "filename");
  return !pair.code.empty() && !pair.vars.empty();
}

std::vector<std::string> DescriptorDirs(const std::string& qemuPath) {
  const std::filesystem::path bin = std::filesystem::path(NativePath(qemuPath)).parent_path();
  // An installed QEMU (prefix/bin) keeps them in prefix/share/qemu/firmware; the Windows
  // installer puts share\ beside the program.
  return {(bin.parent_path() / "share" / "qemu" / "firmware").string(),
          (bin / "share" / "firmware").string()};
}

bool FindUefiFirmware(const UefiConfig& config, const std::vector<std::string>& descriptorDirs,
                      const std::string& debianDir, FirmwarePair& pair, std::string& error) {
  if (!config.code.empty()) {
    // A named file is what the user wants: a missing one is an error, not a reason to search.
    if (!FileExists(config.code)) {
      error = "qemu: UEFI firmware not found: [qemu] uefi=" + config.code;
      return false;
    }
    if (config.vars.empty() || !FileExists(config.vars)) {
      error = "qemu: UEFI variables template not found: [qemu] uefivars=" + config.vars;
      return false;
    }
    pair = {config.code, config.vars};
    return true;
  }
  for (const std::string& dir : descriptorDirs) {
    std::error_code ec;
    std::vector<std::string> files;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->path().extension() == ".json") files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
      std::string json;
      FirmwarePair found;
      if (FileSize64(file) > MaxDescriptorBytes || !ReadWholeFile(file, json)) continue;
      if (ParseFirmwareDescriptor(json, found) && FileExists(found.code) && FileExists(found.vars)) {
        pair = found;
        return true;
      }
    }
  }
  if (!debianDir.empty()) {
    FirmwarePair debian{debianDir + "/OVMF_CODE_4M.fd", debianDir + "/OVMF_VARS_4M.fd"};
    if (FileExists(debian.code) && FileExists(debian.vars)) {
      pair = debian;
      return true;
    }
  }
  error = "qemu: no UEFI firmware found; install OVMF (Debian: ovmf) or set [qemu] uefi= and "
          "uefivars= in qemu.ini";
  return false;
}

Translation UefiArgs(const FirmwarePair& firmware, const std::string& vars) {
  // QEMU would block on a pipe or read a device: the variables must be a plain file.
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(NativePath(vars), ec);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    return Failed("qemu: " + vars + " is refused: not a regular file");
  if (!FileExists(vars)) {
    std::string data;
    if (FileSize64(firmware.vars) > MaxTemplateBytes || !ReadWholeFile(firmware.vars, data))
      return Failed("qemu: cannot read the UEFI variables template " + firmware.vars);
    // Written whole under a temporary name and moved without replacing: a launch running
    // at the same time never sees half a file, and variables already there are never lost.
    const std::string part = vars + ".part";
    if (!WriteFileAtomic(part, data) || (!MoveFileNoReplace(part, vars) && !FileExists(vars))) {
      RemoveFile(part);
      return Failed("qemu: cannot write the UEFI variables " + vars);
    }
    RemoveFile(part);
  }
  Translation t;
  t.ok = true;
  t.args = {"-drive", "if=pflash,format=raw,unit=0,readonly=on,file=" + DriveFile(firmware.code),
            "-drive", "if=pflash,format=raw,unit=1,file=" + DriveFile(vars)};
  return t;
}
