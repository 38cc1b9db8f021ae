#include "qemu_front/processors.h"

#include <algorithm>

namespace {

// QEMU reads "--opt" as "-opt".
bool Names(const std::vector<std::string>& words, const std::string& option) {
  return std::any_of(words.begin(), words.end(),
                     [&](const std::string& w) { return w == option || w == "-" + option; });
}

// The accelerators QEMU may end up with: every -accel, -enable-kvm, and the list of a
// -machine accel= property. None named means QEMU's default, TCG.
std::vector<std::string> Accelerators(const std::vector<std::string>& words) {
  std::vector<std::string> names;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    const bool hasValue = i + 1 < words.size();
    if ((w == "-accel" || w == "--accel") && hasValue) {
      names.push_back(words[i + 1].substr(0, words[i + 1].find(',')));
    } else if (w == "-enable-kvm" || w == "--enable-kvm") {
      names.push_back("kvm");
    } else if ((w == "-machine" || w == "--machine" || w == "-M") && hasValue) {
      const std::string& v = words[i + 1];
      size_t at = v.find("accel=");
      if (at == std::string::npos) continue;
      at += 6;
      const std::string list = v.substr(at, v.find(',', at) - at);
      for (size_t start = 0; start <= list.size();) {
        size_t end = std::min(list.find(':', start), list.size());
        names.push_back(list.substr(start, end - start));
        start = end + 1;
      }
    }
  }
  if (names.empty()) names.push_back("tcg");
  return names;
}

// A plain decimal number, or -1.
long Number(const std::string& text) {
  if (text.empty() || text.size() > 6) return -1;
  long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

// Half the host's processors leaves the host the other half; two are what today's
// installers ask for; more than 8 makes few guests faster and costs the host much.
int AutomaticCpuCount(int hostProcessors) {
  if (hostProcessors <= 1) return 1;
  return std::clamp(hostProcessors / 2, 2, 8);
}

// Under KVM and HVF "host" gives the guest the host's own processor. QEMU refuses "host"
// under any other accelerator, so where TCG may take over (the front end's fallback list
// "-accel kvm -accel tcg") the model is "max": under KVM it offers what "host" does, under
// TCG every feature TCG emulates (x86-64-v2 and v3 among them; QEMU's default qemu64 lacks
// them), under WHPX whatever the hypervisor platform lets through.
std::string CpuModel(const std::vector<std::string>& words) {
  const std::vector<std::string> names = Accelerators(words);
  const bool hostOnly = std::all_of(names.begin(), names.end(),
                                    [](const std::string& n) { return n == "kvm" || n == "hvf"; });
  return hostOnly ? "host" : "max";
}

Translation ProcessorArgs(const HostFacts& host, const FrontConfig& config,
                          const std::vector<std::string>& extra, const std::vector<std::string>& accel) {
  Translation t;
  const int hostCount = std::max(host.logicalProcessors, 1);
  if (!Names(extra, "-smp")) {
    int count = AutomaticCpuCount(hostCount);
    if (!config.cpus.empty()) {
      const long asked = Number(config.cpus);
      if (asked < 1 || asked > hostCount) {
        t.error = "qemu: cpus=" + config.cpus + " in [qemu] is not a number from 1 to " +
                  std::to_string(hostCount) + " (this host's logical processors)";
        return t;
      }
      count = static_cast<int>(asked);
    }
    t.args = {"-smp", std::to_string(count)};
  }
  if (!Names(extra, "-cpu")) {
    std::vector<std::string> words = accel;
    words.insert(words.end(), extra.begin(), extra.end());
    t.args.push_back("-cpu");
    t.args.push_back(CpuModel(words));
  }
  t.ok = true;
  return t;
}
