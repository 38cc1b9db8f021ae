#include "qemu_front/host_facts.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "main_func/vm_host.h"

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// Debian and most distributions build QEMU's audio back ends as loadable modules that come
// in separate packages; naming a back end whose module is missing makes QEMU refuse to
// start, so a back end is only chosen when its module is there.
bool QemuModulePresent(const std::string& module) {
  std::vector<fs::path> dirs;
  if (std::string dir = Env("QEMU_MODULE_DIR"); !dir.empty()) dirs.emplace_back(dir);
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator("/usr/lib", ec)) {
    if (e.path().filename().string().find("-linux-") != std::string::npos)
      dirs.push_back(e.path() / "qemu");
  }
  for (const char* dir : {"/usr/lib/qemu", "/usr/lib64/qemu", "/usr/local/lib/qemu"})
    dirs.emplace_back(dir);
  for (const fs::path& dir : dirs) {
    if (Exists(dir / module)) return true;
  }
  return false;
}

bool PulseServerPresent() {
  if (!Env("PULSE_SERVER").empty()) return true;
  std::string runtime = Env("XDG_RUNTIME_DIR");
  return !runtime.empty() && Exists(fs::path(runtime) / "pulse" / "native");
}

bool AlsaPlaybackPresent() {
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator("/dev/snd", ec)) {
    std::string name = e.path().filename().string();
    if (name.rfind("pcmC", 0) == 0 && !name.empty() && name.back() == 'p') return true;
  }
  return false;
}

// A back end that cannot start (no sound server, no device) stops QEMU altogether, so
// anything doubtful gets the silent one.
std::string LinuxAudioDriver() {
  if (PulseServerPresent() && QemuModulePresent("audio-pa.so")) return "pa";
  if (AlsaPlaybackPresent() && QemuModulePresent("audio-alsa.so")) return "alsa";
  return "none";
}

}  // namespace

HostOs ThisHostOs() {
#if defined(_WIN32)
  return HostOs::Windows;
#elif defined(__linux__)
  return HostOs::Linux;
#else
  return HostOs::Other;
#endif
}

HostFacts GatherHostFacts(bool wantAudio) {
  HostFacts host;
  host.os = ThisHostOs();
  host.logicalProcessors = std::max(1u, std::thread::hardware_concurrency());
  switch (host.os) {
    case HostOs::Windows:
      host.whpxUsable = WhpxUsable();
      if (wantAudio) host.audioDriver = WaveOutputPresent() ? "dsound" : "none";
      break;
    case HostOs::Linux:
      host.kvmUsable = KvmUsable();
      if (wantAudio) host.audioDriver = LinuxAudioDriver();
      host.graphicalSession = !Env("DISPLAY").empty() || !Env("WAYLAND_DISPLAY").empty();
      break;
    case HostOs::Other:
      break;
  }
  return host;
}
