// The QEMU front end's translation: Quillhaven's command lines speak the dialect of old
// QEMU releases; this turns one into the arguments today's QEMU accepts. Pure: everything
// it depends on arrives as arguments, so every case can be tested on any host.
#pragma once
#include <string>
#include <vector>

enum class HostOs { Windows, Linux, Other };

// What the host offers, gathered once per launch (see host_facts.h).
struct HostFacts {
  HostOs os = HostOs::Linux;
  bool kvmUsable = false;         // Linux: /dev/kvm opens for reading and writing
  bool whpxUsable = false;        // Windows: the hypervisor platform is running
  std::string audioDriver = "none";  // QEMU audio back end of the host's sound output
  bool graphicalSession = false;  // Linux: DISPLAY or WAYLAND_DISPLAY is set
};

// qemu\qemu.ini, section [qemu].
struct FrontConfig {
  std::string system;   // the real QEMU; "" finds qemu-system-x86_64 beside or on the PATH
  std::string extra;    // words added to every launch (quotes group words)
  std::string display;  // the value of -display; "" lets the front end choose
  std::string audio;    // audio back end instead of the host's ("none" silences)
};

struct Translation {
  bool ok = false;
  std::vector<std::string> args;  // QEMU's arguments, without the program itself
  std::string error;              // when not ok: the message for qemu\stderr.txt
};

// The audio back end's id on the command line.
inline constexpr const char* AudioId = "snd0";

Translation TranslateArgs(const std::vector<std::string>& args, const HostFacts& host,
                          const FrontConfig& config);
