#include "qemu_front/find_qemu.h"

#include <vector>

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsAbsolute(const std::string& path) {
  if (!path.empty() && IsSeparator(path[0])) return true;
  return path.size() >= 3 && path[1] == ':' && IsSeparator(path[2]);
}

bool HasSeparator(const std::string& path) {
  return path.find_first_of("/\\") != std::string::npos;
}

std::string Join(const std::string& dir, const std::string& name, HostOs os) {
  if (dir.empty()) return name;
  if (IsSeparator(dir.back())) return dir + name;
  return dir + (os == HostOs::Windows ? "\\" : "/") + name;
}

std::vector<std::string> PathDirs(const std::string& pathEnv, HostOs os) {
  const char sep = os == HostOs::Windows ? ';' : ':';
  std::vector<std::string> dirs;
  size_t start = 0;
  while (start <= pathEnv.size()) {
    size_t end = pathEnv.find(sep, start);
    if (end == std::string::npos) end = pathEnv.size();
    std::string dir = pathEnv.substr(start, end - start);
    // An empty element would mean the current folder, which is Quillhaven's, not QEMU's.
    if (!dir.empty()) dirs.push_back(dir);
    start = end + 1;
  }
  return dirs;
}

}  // namespace

std::string QemuProgramName(HostOs os) {
  return os == HostOs::Windows ? "qemu-system-x86_64.exe" : "qemu-system-x86_64";
}

std::string FindQemu(const std::string& system, const std::string& exeDir,
                     const std::string& pathEnv, HostOs os,
                     const std::function<bool(const std::string&)>& fileExists) {
  std::vector<std::string> candidates;
  if (!system.empty() && IsAbsolute(system)) {
    candidates.push_back(system);
  } else if (!system.empty() && HasSeparator(system)) {
    candidates.push_back(exeDir + system);
  } else {
    std::string name = system.empty() ? QemuProgramName(os) : system;
    candidates.push_back(exeDir + name);
    for (const std::string& dir : PathDirs(pathEnv, os)) candidates.push_back(Join(dir, name, os));
  }
  for (const std::string& c : candidates) {
    if (fileExists(c)) return c;
  }
  return "";
}
