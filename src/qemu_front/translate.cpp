#include "qemu_front/translate.h"

#include <algorithm>
#include <array>

#include "main_func/command_words.h"
#include "qemu_front/processors.h"

namespace {

// Options of Quillhaven's command lines that today's QEMU still reads the same way; each
// takes one value. The drive options are rewritten (see drives.h).
constexpr std::array<const char*, 4> PassedOptions = {"-L", "-m", "-vga", "-boot"};

// The sound cards of old "-soundhw", in the order "all" adds them.
struct SoundCard {
  const char* name;
  std::vector<std::string> (*words)(const std::string& id);
};

std::vector<std::string> Device(const std::string& model, const std::string& id) {
  return {"-device", model + ",audiodev=" + id};
}

const std::array<SoundCard, 8>& SoundCards() {
  static const std::array<SoundCard, 8> cards = {{
      {"sb16", [](const std::string& id) { return Device("sb16", id); }},
      {"ac97", [](const std::string& id) { return Device("AC97", id); }},
      {"es1370", [](const std::string& id) { return Device("es1370", id); }},
      {"adlib", [](const std::string& id) { return Device("adlib", id); }},
      {"gus", [](const std::string& id) { return Device("gus", id); }},
      {"cs4231a", [](const std::string& id) { return Device("cs4231a", id); }},
      {"hda",
       [](const std::string& id) {
         std::vector<std::string> w = {"-device", "intel-hda"};
         for (std::string& x : Device("hda-duplex", id)) w.push_back(x);
         return w;
       }},
      {"pcspk",
       [](const std::string& id) {
         return std::vector<std::string>{"-machine", "pcspk-audiodev=" + id};
       }},
  }};
  return cards;
}

bool IsPassedOption(const std::string& word) {
  return std::any_of(PassedOptions.begin(), PassedOptions.end(),
                     [&](const char* o) { return word == o; });
}

// QEMU reads "--opt" as "-opt".
std::string Canonical(const std::string& word) {
  if (word.size() > 2 && word[0] == '-' && word[1] == '-') return word.substr(1);
  return word;
}

// Adds the cards named by one -soundhw value to the chosen list; false on an unknown name.
bool AddSoundCards(const std::string& value, std::vector<size_t>& chosen, std::string& bad) {
  const auto& cards = SoundCards();
  size_t start = 0;
  while (start <= value.size()) {
    size_t end = value.find(',', start);
    if (end == std::string::npos) end = value.size();
    std::string name = value.substr(start, end - start);
    start = end + 1;
    for (size_t i = 0; i < cards.size(); ++i) {
      if (name == "all" || name == cards[i].name) {
        if (std::find(chosen.begin(), chosen.end(), i) == chosen.end()) chosen.push_back(i);
      }
    }
    bool known = name == "all" || std::any_of(cards.begin(), cards.end(), [&](const SoundCard& c) {
                   return name == c.name;
                 });
    if (!known) {
      bad = name;
      return false;
    }
  }
  return true;
}

// Whether the extra words already choose an accelerator or a display; then the front end
// leaves that choice to them.
bool ChoosesAccelerator(const std::vector<std::string>& words) {
  for (size_t i = 0; i < words.size(); ++i) {
    std::string w = Canonical(words[i]);
    if (w == "-accel" || w == "-enable-kvm") return true;
    if ((w == "-machine" || w == "-M") && i + 1 < words.size() &&
        words[i + 1].find("accel=") != std::string::npos)
      return true;
  }
  return false;
}

bool ChoosesDisplay(const std::vector<std::string>& words) {
  return std::any_of(words.begin(), words.end(), [](const std::string& word) {
    std::string w = Canonical(word);
    return w == "-display" || w == "-nographic" || w == "-curses";
  });
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& words) {
  to.insert(to.end(), words.begin(), words.end());
}

bool Listed(const HostFacts& host, const char* name) {
  return std::find(host.accelerators.begin(), host.accelerators.end(), name) !=
         host.accelerators.end();
}

// Whether the first boot device of a -boot value ("a", "once=a", "order=ac") is the floppy.
bool BootsFromFloppy(const std::vector<std::string>& args) {
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] != "-boot") continue;
    std::string value = args[i + 1];
    for (const char* prefix : {"once=", "order="})
      if (value.rfind(prefix, 0) == 0) value = value.substr(std::string(prefix).size());
    if (!value.empty() && value[0] == 'a') return true;
  }
  return false;
}

Translation Failure(const std::string& message) {
  Translation t;
  t.error = message;
  return t;
}

}  // namespace

Translation AcceleratorArgs(const HostFacts& host, const std::string& accel, bool floppyBoot) {
  Translation t;
  t.ok = true;
  // WHPX alone hangs many guests at the firmware screen or fails with injection errors;
  // without the kernel irqchip it works.
  const std::vector<std::string> whpx = {"-accel", "whpx,kernel-irqchip=off"};
  if (accel == "tcg" || accel == "kvm" || accel == "hvf") {
    t.args = {"-accel", accel};
  } else if (accel == "whpx") {
    t.args = whpx;
  } else if (!accel.empty()) {
    return Failure("qemu: unknown accelerator '" + accel +
                   "' in [qemu] accel (kvm, whpx, tcg, hvf, or empty to choose)");
  } else if (floppyBoot) {
    // SeaBIOS waits for the floppy controller with timeouts on the guest's clock; under
    // nested KVM its interrupt often comes too late ("Boot failed: could not read the boot
    // disk"), in up to every run depending on the host's load (docs/accelerator-notes.md).
    // Under TCG the controller answers in the process that runs the guest's processor, and
    // a floppy's system is small enough for TCG.
    t.args = {"-accel", "tcg"};
  } else {
    if (host.os == HostOs::Linux && host.kvmUsable && Listed(host, "kvm")) t.args = {"-accel", "kvm"};
    if (host.os == HostOs::Windows && host.whpxUsable && Listed(host, "whpx")) t.args = whpx;
    Append(t.args, {"-accel", "tcg"});
  }
  return t;
}

bool NeedsAcceleratorList(const HostFacts& host, const FrontConfig& config) {
  if (!config.accel.empty() || ChoosesAccelerator(SplitWords(config.extra))) return false;
  return (host.os == HostOs::Linux && host.kvmUsable) ||
         (host.os == HostOs::Windows && host.whpxUsable);
}

Translation TranslateArgs(const std::vector<std::string>& args, const HostFacts& host,
                          const FrontConfig& config, const ImageChecker& checkImage) {
  Translation result;
  std::vector<std::string>& out = result.args;
  std::vector<size_t> cards;
  size_t soundAt = std::string::npos;  // where the first -soundhw stood in out

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word == "-localtime") {
      Append(out, {"-rtc", "base=localtime"});
    } else if (word == "-kernel-kqemu") {
      // kqemu is long gone; the host's accelerator is added below for every launch.
    } else if (word == "-soundhw" || IsPassedOption(word) || IsDriveOption(word)) {
      if (i + 1 >= args.size()) return Failure("qemu: option " + word + " needs a value");
      const std::string& value = args[++i];
      if (word == "-soundhw") {
        std::string bad;
        if (!AddSoundCards(value, cards, bad)) return Failure("qemu: unknown sound card '" + bad + "'");
        if (soundAt == std::string::npos) soundAt = out.size();
      } else if (IsDriveOption(word)) {
        DriveWords drive = DriveArgs(word, value, checkImage);
        if (!drive.ok) return Failure(drive.error);
        Append(out, drive.words);
      } else {
        Append(out, {word, value});
      }
    } else if (!word.empty() && word[0] == '-') {
      return Failure("qemu: unknown option " + word);
    } else {
      // A file name with blanks arrives split; QEMU would take the piece for a disk image.
      return Failure("qemu: unexpected argument '" + word + "'");
    }
  }

  if (soundAt != std::string::npos) {
    std::string driver = config.audio.empty() ? host.audioDriver : config.audio;
    if (driver.empty()) driver = "none";
    std::vector<std::string> sound = {"-audiodev", driver + ",id=" + AudioId};
    for (size_t card : cards) Append(sound, SoundCards()[card].words(AudioId));
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(soundAt), sound.begin(), sound.end());
  }

  std::vector<std::string> extra = SplitWords(config.extra);
  std::vector<std::string> accelWords;
  if (!ChoosesAccelerator(extra)) {
    Translation accel = AcceleratorArgs(host, config.accel, BootsFromFloppy(args));
    if (!accel.ok) return accel;
    accelWords = accel.args;
    Append(out, accel.args);
  }
  Translation processors = ProcessorArgs(host, config, extra, accelWords);
  if (!processors.ok) return processors;
  Append(out, processors.args);
  if (!config.display.empty()) {
    Append(out, {"-display", config.display});
  } else if (host.os == HostOs::Linux && !host.graphicalSession && !ChoosesDisplay(extra)) {
    // No window can open here; QEMU would fall back to a VNC server nobody looks at.
    Append(out, {"-display", "curses"});
  }
  Append(out, extra);
  result.ok = true;
  return result;
}
