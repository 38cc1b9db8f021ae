#include "qemu_front/translate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "main_func/command_words.h"

namespace {

using Words = std::vector<std::string>;

// Quillhaven's command lines after the program word, as the front end receives them.
const char* RunOs64 =
    "-L ./qemu -localtime -soundhw all -m 512 -vga cirrus -cdrom images//linux.iso "
    "-hdb images//hdb.img -boot once=d";
const char* RunOs32Kqemu =
    "-L ./qemu -kernel-kqemu -localtime -soundhw all -m 512 -vga cirrus -cdrom images//linux.iso "
    "-hdb images//hdb.img -boot once=d";
const char* BootHdd64 =
    "-L ./qemu -localtime -soundhw all -vga cirrus -m 256 -hdb images//hdb.img -boot once=c";

const Words AllCards = {"-audiodev",   "none,id=snd0",
                        "-device",     "sb16,audiodev=snd0",
                        "-device",     "AC97,audiodev=snd0",
                        "-device",     "es1370,audiodev=snd0",
                        "-device",     "adlib,audiodev=snd0",
                        "-device",     "gus,audiodev=snd0",
                        "-device",     "cs4231a,audiodev=snd0",
                        "-device",     "intel-hda",
                        "-device",     "hda-duplex,audiodev=snd0",
                        "-machine",    "pcspk-audiodev=snd0"};

HostFacts LinuxDesktop() {
  HostFacts h;
  h.os = HostOs::Linux;
  h.graphicalSession = true;
  return h;
}

Words Concat(std::initializer_list<Words> parts) {
  Words all;
  for (const Words& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// The images of these tests: "hdb.img" is the virtual disk (VMDK), a name ending in
// ".qcow2" a self-contained qcow2, one holding "backed" a qcow2 with a backing file, and
// anything else raw.
ImageCheck CheckFake(const std::string& path) {
  ImageCheck c;
  c.ok = path.find("backed") == std::string::npos;
  c.format = path.size() >= 7 && path.compare(path.size() - 7, 7, "hdb.img") == 0 ? "vmdk"
             : path.size() >= 6 && path.compare(path.size() - 6, 6, ".qcow2") == 0 ? "qcow2"
                                                                                   : "raw";
  if (!c.ok) c.error = "qemu: " + path + " is refused: a qcow2 image with a backing file";
  return c;
}

Translation TranslateArgs(const Words& args, const HostFacts& host, const FrontConfig& config) {
  return ::TranslateArgs(args, host, config, CheckFake);
}

Translation Translate(const std::string& line, const HostFacts& host, const FrontConfig& config = {}) {
  return TranslateArgs(SplitWords(line), host, config);
}

const Words LinuxIso = {"-drive", "file=images//linux.iso,format=raw,index=2,media=cdrom"};
const Words Hdb = {"-drive", "file=images//hdb.img,format=vmdk,index=1,media=disk"};

TEST(TranslateArgs, RunOsLineOf64BitHostBecomesTodaysOptions) {
  Translation t = Translate(RunOs64, LinuxDesktop());
  ASSERT_TRUE(t.ok) << t.error;
  EXPECT_EQ(t.args, Concat({{"-L", "./qemu", "-rtc", "base=localtime"},
                            AllCards,
                            {"-m", "512", "-vga", "cirrus"}, LinuxIso, Hdb,
                            {"-boot", "once=d", "-accel", "tcg", "-smp", "1", "-cpu", "max"}}));
}

TEST(TranslateArgs, KqemuBecomesKvmWithTcgFallbackWhenKvmOpens) {
  HostFacts host = LinuxDesktop();
  host.kvmUsable = true;
  host.accelerators = {"tcg", "kvm"};
  Translation t = Translate(RunOs32Kqemu, host);
  ASSERT_TRUE(t.ok) << t.error;
  EXPECT_EQ(t.args, Concat({{"-L", "./qemu", "-rtc", "base=localtime"},
                            AllCards,
                            {"-m", "512", "-vga", "cirrus"}, LinuxIso, Hdb,
                            {"-boot", "once=d", "-accel", "kvm", "-accel", "tcg", "-smp", "1", "-cpu", "max"}}));
}

// A boot from the floppy gets TCG alone where KVM would be chosen; a disk's or CD's boot
// keeps KVM, and a forced accelerator wins.
TEST(TranslateArgs, FloppyBootsGetTcgWhereKvmWouldBeChosen) {
  HostFacts host = LinuxDesktop();
  host.kvmUsable = true;
  host.accelerators = {"tcg", "kvm"};
  FrontConfig forced;
  forced.accel = "kvm";
  const std::tuple<const char*, FrontConfig, const char*> cases[] = {
      {"-fda a.img -boot once=a", {}, "tcg max"}, {"-fda a.img -boot order=ca", {}, "kvm max"},
      {"-cdrom c.iso -boot once=d", {}, "kvm max"}, {"-fda a.img -boot a", forced, "kvm host"}};
  for (const auto& [line, config, expected] : cases) {
    const Words words = Translate(line, host, config).args;
    const std::string accel = words[std::find(words.begin(), words.end(), "-accel") - words.begin() + 1];
    EXPECT_EQ(accel + " " + words.back(), expected) << line;
  }
}

TEST(TranslateArgs, EveryLaunchGetsTheAcceleratorListWithOrWithoutKqemu) {
  HostFacts host = LinuxDesktop();
  host.kvmUsable = true;
  host.accelerators = {"tcg", "kvm"};
  Translation with = Translate(RunOs32Kqemu, host);
  Translation without = Translate(RunOs64, host);
  ASSERT_TRUE(with.ok && without.ok);
  EXPECT_EQ(with.args, without.args);
  host.kvmUsable = false;
  Translation tcg = Translate(RunOs32Kqemu, host);
  ASSERT_TRUE(tcg.ok);
  EXPECT_EQ(Words(tcg.args.end() - 6, tcg.args.end()), (Words{"-accel", "tcg", "-smp", "1", "-cpu", "max"}));
  for (const std::string& w : tcg.args) EXPECT_NE(w, "-kernel-kqemu");
}

TEST(TranslateArgs, AcceleratorOfEachHostProbeAnswerAndSetting) {
  struct Case {
    HostOs os;
    bool kvm, whpx;
    Words listed;     // what the QEMU answered to -accel help
    const char* accel;  // [qemu] accel
    Words words;
  };
  const Words all = {"tcg", "kvm", "whpx", "hvf"};
  const Words whpx = {"-accel", "whpx,kernel-irqchip=off"};
  const Case cases[] = {
      {HostOs::Linux, true, false, all, "", {"-accel", "kvm", "-accel", "tcg"}},
      {HostOs::Linux, true, false, {"tcg"}, "", {"-accel", "tcg"}},  // a QEMU without KVM
      {HostOs::Linux, true, false, {}, "", {"-accel", "tcg"}},       // no answer
      {HostOs::Linux, false, false, all, "", {"-accel", "tcg"}},
      {HostOs::Linux, false, true, all, "", {"-accel", "tcg"}},  // WHPX means nothing on Linux
      {HostOs::Windows, false, true, all, "", Concat({whpx, {"-accel", "tcg"}})},
      {HostOs::Windows, false, true, {"tcg"}, "", {"-accel", "tcg"}},
      {HostOs::Windows, false, false, all, "", {"-accel", "tcg"}},
      {HostOs::Windows, true, false, all, "", {"-accel", "tcg"}},  // nor KVM on Windows
      {HostOs::Other, true, true, all, "", {"-accel", "tcg"}},
      // A setting forces its accelerator, without a fallback, whatever the host offers.
      {HostOs::Linux, true, false, all, "tcg", {"-accel", "tcg"}},
      {HostOs::Linux, false, false, {}, "kvm", {"-accel", "kvm"}},
      {HostOs::Windows, false, false, {}, "whpx", whpx},
      {HostOs::Other, false, false, {}, "hvf", {"-accel", "hvf"}},
  };
  for (const Case& c : cases) {
    HostFacts host;
    host.os = c.os;
    host.kvmUsable = c.kvm;
    host.whpxUsable = c.whpx;
    host.accelerators = c.listed;
    host.graphicalSession = true;
    FrontConfig config;
    config.accel = c.accel;
    Translation t = Translate("-m 128 -kernel-kqemu", host, config);
    ASSERT_TRUE(t.ok);
    // "host" only where no other accelerator can take over (see processors.cpp).
    const bool hostModel = std::string(c.accel) == "kvm" || std::string(c.accel) == "hvf";
    EXPECT_EQ(t.args, Concat({{"-m", "128"}, c.words, {"-smp", "1", "-cpu", hostModel ? "host" : "max"}}))
        << "os " << static_cast<int>(c.os) << " kvm " << c.kvm << " whpx " << c.whpx << " accel "
        << c.accel << " listed " << c.listed.size();
    // The list is asked for only where it can change the choice.
    EXPECT_EQ(NeedsAcceleratorList(host, config),
              *c.accel == '\0' && ((c.os == HostOs::Linux && c.kvm) || (c.os == HostOs::Windows && c.whpx)));
  }
  FrontConfig unknown;
  unknown.accel = "KVM";
  Translation t = Translate("-m 128", LinuxDesktop(), unknown);
  EXPECT_FALSE(t.ok);
  EXPECT_EQ(t.error, "qemu: unknown accelerator 'KVM' in [qemu] accel (kvm, whpx, tcg, hvf, or empty to choose)");
}

TEST(TranslateArgs, BootHddLineKeepsItsOrder) {
  Translation t = Translate(BootHdd64, LinuxDesktop());
  ASSERT_TRUE(t.ok) << t.error;
  EXPECT_EQ(t.args, Concat({{"-L", "./qemu", "-rtc", "base=localtime"},
                            AllCards,
                            {"-vga", "cirrus", "-m", "256"}, Hdb, {"-boot", "once=c", "-accel", "tcg", "-smp", "1", "-cpu", "max"}}));
}

TEST(TranslateArgs, BootOptionsPassUnchangedAndDrivesNameTheirFormat) {
  struct Case {
    Words in, out;
  };
  const Case cases[] = {
      {{"-L", ".\\qemu"}, {"-L", ".\\qemu"}},
      {{"-m", "1024"}, {"-m", "1024"}},
      {{"-vga", "std"}, {"-vga", "std"}},
      {{"-vga", "vmware"}, {"-vga", "vmware"}},
      {{"-vga", ""}, {"-vga", ""}},
      {{"-boot", "once=a"}, {"-boot", "once=a"}},
      {{"-cdrom", "images\\\\linux.iso"},
       {"-drive", "file=images\\\\linux.iso,format=raw,index=2,media=cdrom"}},
      {{"-hda", "images//router.img"}, {"-drive", "file=images//router.img,format=raw,index=0,media=disk"}},
      {{"-hda", "images//own.qcow2"}, {"-drive", "file=images//own.qcow2,format=qcow2,index=0,media=disk"}},
      {{"-fda", "images//freedos.img"}, {"-drive", "file=images//freedos.img,format=raw,if=floppy,index=0"}},
      {{"-hdb", "images//hdb.img"}, Hdb},
      // A comma would start QEMU's next drive property.
      {{"-hda", "images//a,format=qcow2.img"},
       {"-drive", "file=images//a,,format=qcow2.img,format=raw,index=0,media=disk"}},
      // A drive letter and a colon after a separator are parts of a path.
      {{"-cdrom", "C:\\os\\x.iso"}, {"-drive", "file=C:\\os\\x.iso,format=raw,index=2,media=cdrom"}},
      {{"-cdrom", "d:/x.iso"}, {"-drive", "file=d:/x.iso,format=raw,index=2,media=cdrom"}},
      {{"-hda", "images//a:b.img"}, {"-drive", "file=images//a:b.img,format=raw,index=0,media=disk"}},
  };
  for (const Case& c : cases) {
    Translation t = TranslateArgs(c.in, LinuxDesktop(), {});
    ASSERT_TRUE(t.ok) << c.in[0] << ": " << t.error;
    EXPECT_EQ(t.args, Concat({c.out, {"-accel", "tcg", "-smp", "1", "-cpu", "max"}})) << c.in[1];
  }
}

TEST(TranslateArgs, LocaltimeBecomesRtcBaseLocaltime) {
  Translation t = Translate("-localtime", LinuxDesktop());
  ASSERT_TRUE(t.ok);
  EXPECT_EQ(t.args, (Words{"-rtc", "base=localtime", "-accel", "tcg", "-smp", "1", "-cpu", "max"}));
}

TEST(TranslateArgs, SoundUsesTheHostDriverOrTheConfiguredOne) {
  HostFacts host = LinuxDesktop();
  host.audioDriver = "pa";
  Translation t = Translate("-soundhw all", host);
  ASSERT_TRUE(t.ok);
  ASSERT_GE(t.args.size(), 2u);
  EXPECT_EQ(t.args[0], "-audiodev");
  EXPECT_EQ(t.args[1], "pa,id=snd0");

  FrontConfig config;
  config.audio = "none";
  t = Translate("-soundhw all", host, config);
  EXPECT_EQ(t.args[1], "none,id=snd0");

  config.audio = "alsa,out.dev=hw:1";
  t = Translate("-soundhw all", host, config);
  EXPECT_EQ(t.args[1], "alsa,out.dev=hw:1,id=snd0");

  host.audioDriver = "";
  t = Translate("-soundhw all", host);
  EXPECT_EQ(t.args[1], "none,id=snd0");
}

TEST(TranslateArgs, SoundCardListsNameSingleCards) {
  HostFacts host = LinuxDesktop();
  Translation t = Translate("-soundhw sb16,hda,pcspk", host);
  ASSERT_TRUE(t.ok) << t.error;
  EXPECT_EQ(t.args, (Words{"-audiodev", "none,id=snd0", "-device", "sb16,audiodev=snd0", "-device",
                           "intel-hda", "-device", "hda-duplex,audiodev=snd0", "-machine",
                           "pcspk-audiodev=snd0", "-accel", "tcg", "-smp", "1", "-cpu", "max"}));
  // A card named twice, or again by "all", is added once; one back end serves all.
  t = Translate("-soundhw es1370 -m 64 -soundhw all,es1370", host);
  ASSERT_TRUE(t.ok) << t.error;
  EXPECT_EQ(t.args, Concat({{"-audiodev", "none,id=snd0", "-device", "es1370,audiodev=snd0",
                             "-device", "sb16,audiodev=snd0", "-device", "AC97,audiodev=snd0",
                             "-device", "adlib,audiodev=snd0", "-device", "gus,audiodev=snd0",
                             "-device", "cs4231a,audiodev=snd0", "-device", "intel-hda", "-device",
                             "hda-duplex,audiodev=snd0", "-machine", "pcspk-audiodev=snd0"},
                            {"-m", "64", "-accel", "tcg", "-smp", "1", "-cpu", "max"}}));
}

TEST(TranslateArgs, RefusesWhatItDoesNotKnow) {
  struct Case {
    const char* line;
    const char* error;
  };
  const Case cases[] = {
      {"-m 128 -enable-kvm", "qemu: unknown option -enable-kvm"},
      {"-snapshot", "qemu: unknown option -snapshot"},
      {"-kernel-kqemu -hdc images//x.img", "qemu: unknown option -hdc"},
      {"--m 128", "qemu: unknown option --m"},
      {"-", "qemu: unknown option -"},
      {"-m", "qemu: option -m needs a value"},
      {"-m 64 -cdrom", "qemu: option -cdrom needs a value"},
      {"-soundhw", "qemu: option -soundhw needs a value"},
      {"-soundhw sb16,foo", "qemu: unknown sound card 'foo'"},
      {"-soundhw ALL", "qemu: unknown sound card 'ALL'"},
      {"-soundhw sb16,", "qemu: unknown sound card ''"},
      // A file name with a blank arrives as two words.
      {"-cdrom images//my os.iso -boot once=d", "qemu: unexpected argument 'os.iso'"},
      {"images//linux.iso", "qemu: unexpected argument 'images//linux.iso'"},
      // Images that would make QEMU open other files, and names it reads as protocols.
      {"-m 64 -hda images//backed.qcow2 -boot once=c",
       "qemu: images//backed.qcow2 is refused: a qcow2 image with a backing file"},
      {"-hda nbd:127.0.0.1:10809", "qemu: nbd:127.0.0.1:10809 is refused: a protocol name, not an image file"},
      {"-cdrom json:{}", "qemu: json:{} is refused: a protocol name, not an image file"},
      {"-fda fat:rw:images", "qemu: fat:rw:images is refused: a protocol name, not an image file"},
  };
  for (const Case& c : cases) {
    Translation t = Translate(c.line, LinuxDesktop());
    EXPECT_FALSE(t.ok) << c.line;
    EXPECT_EQ(t.error, c.error) << c.line;
  }
  Translation empty = TranslateArgs({"-m", "64", ""}, LinuxDesktop(), {});
  EXPECT_FALSE(empty.ok);
  EXPECT_EQ(empty.error, "qemu: unexpected argument ''");
}

TEST(TranslateArgs, OptionValuesThatLookLikeOptionsAreValues) {
  Translation t = TranslateArgs({"-cdrom", "-weird.iso", "-vga", "-std"}, LinuxDesktop(), {});
  ASSERT_TRUE(t.ok) << t.error;
  EXPECT_EQ(t.args, (Words{"-drive", "file=-weird.iso,format=raw,index=2,media=cdrom", "-vga", "-std",
                           "-accel", "tcg", "-smp", "1", "-cpu", "max"}));
}

TEST(TranslateArgs, LinuxWithoutDesktopShowsTheGuestInTheTerminal) {
  HostFacts host = LinuxDesktop();
  host.graphicalSession = false;
  Translation t = Translate("-m 128", host);
  EXPECT_EQ(t.args, (Words{"-m", "128", "-accel", "tcg", "-smp", "1", "-cpu", "max", "-display", "curses"}));

  FrontConfig config;
  config.display = "none";
  t = Translate("-m 128", host, config);
  EXPECT_EQ(t.args, (Words{"-m", "128", "-accel", "tcg", "-smp", "1", "-cpu", "max", "-display", "none"}));

  for (const char* extra : {"-display vnc=127.0.0.1:1", "-nographic", "--display none", "-curses"}) {
    FrontConfig withExtra;
    withExtra.extra = extra;
    t = Translate("-m 128", host, withExtra);
    Words expected = Concat({{"-m", "128", "-accel", "tcg", "-smp", "1", "-cpu", "max"}, SplitWords(extra)});
    EXPECT_EQ(t.args, expected) << extra;
  }
}

TEST(TranslateArgs, DesktopsAndOtherHostsKeepQemusOwnWindow) {
  HostFacts host;
  for (HostOs os : {HostOs::Windows, HostOs::Other}) {
    host.os = os;
    host.graphicalSession = false;
    Translation t = Translate("-m 128", host);
    EXPECT_EQ(t.args, (Words{"-m", "128", "-accel", "tcg", "-smp", "1", "-cpu", "max"}));
  }
  FrontConfig config;
  config.display = "sdl";
  host.os = HostOs::Windows;
  EXPECT_EQ(Translate("-m 128", host, config).args,
            (Words{"-m", "128", "-accel", "tcg", "-smp", "1", "-cpu", "max", "-display", "sdl"}));
  EXPECT_EQ(Translate("-m 128", LinuxDesktop()).args, (Words{"-m", "128", "-accel", "tcg", "-smp", "1", "-cpu", "max"}));
}

TEST(TranslateArgs, ExtraWordsComeLastAndMayChooseTheAccelerator) {
  HostFacts host = LinuxDesktop();
  host.kvmUsable = true;
  host.accelerators = {"tcg", "kvm"};
  FrontConfig config;
  config.extra =
      "-display none -serial \"file:/tmp/a b/serial.txt\" -device "
      "isa-debug-exit,iobase=0xf4,iosize=0x04 -accel tcg";
  Translation t = Translate("-kernel-kqemu -m 128 -fda images//demo.img -boot once=a", host, config);
  ASSERT_TRUE(t.ok) << t.error;
  EXPECT_EQ(t.args, (Words{"-m", "128", "-drive", "file=images//demo.img,format=raw,if=floppy,index=0",
                           "-boot", "once=a", "-smp", "1", "-cpu", "max", "-display",
                           "none", "-serial", "file:/tmp/a b/serial.txt", "-device",
                           "isa-debug-exit,iobase=0xf4,iosize=0x04", "-accel", "tcg"}));

  // The CPU model follows the accelerator extra chooses: "host" only where nothing but KVM
  // or HVF can run the guest.
  const std::pair<const char*, const char*> chosen[] = {{"-enable-kvm", "host"},
                                                        {"--accel kvm", "host"},
                                                        {"-accel hvf", "host"},
                                                        {"-machine pc,accel=kvm:tcg", "max"},
                                                        {"-M q35,accel=tcg", "max"},
                                                        {"-accel whpx,kernel-irqchip=off", "max"}};
  for (const auto& [extra, model] : chosen) {
    config.extra = extra;
    t = Translate("-m 128", host, config);
    EXPECT_EQ(t.args, Concat({{"-m", "128", "-smp", "1", "-cpu", model}, SplitWords(extra)})) << extra;
  }
  // A machine type alone chooses no accelerator.
  config.extra = "-machine q35";
  t = Translate("-m 128", host, config);
  EXPECT_EQ(t.args, (Words{"-m", "128", "-accel", "kvm", "-accel", "tcg", "-smp", "1", "-cpu", "max",
                           "-machine", "q35"}));
}

TEST(TranslateArgs, ProcessorsFromTheHostOrTheSettingUnlessExtraNamesThem) {
  struct Case {
    int host;           // the host's logical processors
    const char* cpus;   // [qemu] cpus
    const char* extra;  // [qemu] extra
    const char* words;  // what follows the accelerator (extra's words last); "" for a refusal
  };
  const Case cases[] = {
      {1, "", "", "-smp 1 -cpu max"},
      {2, "", "", "-smp 2 -cpu max"},
      {3, "", "", "-smp 2 -cpu max"},
      {16, "", "", "-smp 8 -cpu max"},
      {64, "", "", "-smp 8 -cpu max"},
      {0, "", "", "-smp 1 -cpu max"},  // a host that could not tell
      {16, "12", "", "-smp 12 -cpu max"},
      {2, "1", "", "-smp 1 -cpu max"},
      {2, "3", "", ""},
      {2, "0", "", ""},
      {2, "two", "", ""},
      {64, "99999999999999999999", "", ""},
      // extra's own -smp and -cpu win; an unused cpus= is not looked at.
      {16, "", "-smp 4,sockets=1", "-cpu max -smp 4,sockets=1"},
      {16, "bad", "--smp 3", "-cpu max --smp 3"},
      {16, "4", "-cpu Nehalem", "-smp 4 -cpu Nehalem"},
      {16, "", "-cpu qemu64 -smp 2", "-cpu qemu64 -smp 2"},
  };
  for (const Case& c : cases) {
    HostFacts host = LinuxDesktop();
    host.logicalProcessors = c.host;
    FrontConfig config;
    config.cpus = c.cpus;
    config.extra = c.extra;
    Translation t = Translate("-m 128", host, config);
    const std::string refusal = std::string("qemu: cpus=") + c.cpus + " in [qemu] is not a number from 1 to " +
                                std::to_string(c.host) + " (this host's logical processors)";
    const Words expected =
        *c.words ? Concat({{"-m", "128", "-accel", "tcg"}, SplitWords(c.words)}) : Words{refusal};
    EXPECT_EQ(t.ok ? t.args : Words{t.error}, expected) << c.host << " processors, cpus=" << c.cpus;
  }
}

TEST(TranslateArgs, NoArgumentsStillGetAnAccelerator) {
  Translation t = TranslateArgs({}, LinuxDesktop(), {});
  ASSERT_TRUE(t.ok);
  EXPECT_EQ(t.args, (Words{"-accel", "tcg", "-smp", "1", "-cpu", "max"}));
}

}  // namespace
