// The QEMU front end's translation: Quillhaven's command lines speak the dialect of old
// QEMU releases; this turns one into the arguments today's QEMU accepts. Pure: everything
// it depends on arrives as arguments (the images' formats through a checker), so every case
// can be tested on any host.
#pragma once
#include <string>
#include <vector>

#include "qemu_front/drives.h"

enum class HostOs { Windows, Linux, Other };

// What the host offers, gathered once per launch (see host_facts.h).
struct HostFacts {
  HostOs os = HostOs::Linux;
  bool kvmUsable = false;         // Linux: /dev/kvm opens for reading and writing
  bool whpxUsable = false;        // Windows: the hypervisor platform is running
  std::string audioDriver = "none";  // QEMU audio back end of the host's sound output
  bool graphicalSession = false;  // Linux: DISPLAY or WAYLAND_DISPLAY is set
  std::vector<std::string> accelerators;  // what the QEMU to be run lists for -accel help
  int logicalProcessors = 1;      // the host's logical processors
};

// qemu\qemu.ini, section [qemu].
struct FrontConfig {
  std::string system;   // the real QEMU; "" finds qemu-system-x86_64 beside or on the PATH
  std::string extra;    // words added to every launch (quotes group words)
  std::string display;  // the value of -display; "" lets the front end choose
  std::string audio;    // audio back end instead of the host's ("none" silences)
  std::string accel;    // "" chooses from the host; kvm, whpx, tcg or hvf forces that one
  std::string cpus;     // the guest's processors; "" chooses from the host (see processors.h)
};

struct Translation {
  bool ok = false;
  std::vector<std::string> args;  // QEMU's arguments, without the program itself
  std::string error;              // when not ok: the message for qemu\stderr.txt
};

// The audio back end's id on the command line.
inline constexpr const char* AudioId = "snd0";

// The accelerator words of a launch: the one [qemu] accel forces, else TCG alone for a boot
// from the floppy, else KVM (Linux) or WHPX (Windows) when the QEMU lists it and the host
// can use it, always followed by TCG. ok is false for an accel value QEMU does not know.
Translation AcceleratorArgs(const HostFacts& host, const std::string& accel, bool floppyBoot = false);

// Whether the launch needs the list of accelerators the QEMU offers: only when the front
// end chooses one and the host has one besides TCG.
bool NeedsAcceleratorList(const HostFacts& host, const FrontConfig& config);

// checkImage tells the format of each drive's image; a refused image refuses the launch.
Translation TranslateArgs(const std::vector<std::string>& args, const HostFacts& host,
                          const FrontConfig& config, const ImageChecker& checkImage);
