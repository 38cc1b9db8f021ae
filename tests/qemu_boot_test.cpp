// End to end with Debian's QEMU: from the main menu of an installation, the front end
// boots the demo OS the build makes, headless, and the guest's greeting arrives on its
// serial port; the virtual disk made by qemu-img boots the same way; an image QEMU cannot
// open shows QEMU's own message, and one that would make QEMU open another file is refused;
// the UEFI demo boots as an Own entry through the firmware the front end finds.
// TCG only: KVM is nested and slow on test machines (the demo's floppy gets TCG from the
// front end itself).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "launch_screens.h"
#include "main_func/files.h"
#include "main_func/process.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/screens.h"
#include "support/transcript.h"

namespace {

namespace fs = std::filesystem;
using namespace launchscreens;

const char* const SystemQemu = "/usr/bin/qemu-system-x86_64";
const char* const SystemQemuImg = "/usr/bin/qemu-img";
const std::string Greeting = "Hello from the Quillhaven demo OS!";

const OsEntry Demo = {"Quillhaven Demo", "1.0", "", "demo.img", "fdd", "std"};
const std::vector<std::string> Categories = {"Demo"};

// An installation with the front end, Debian's QEMU behind it, the demo OS in its own
// category and QEMU told to run headless, report on a serial file and let the guest end it.
class QemuBoot : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "Debian's QEMU boots are Linux tests";
#else
    if (!fs::exists(SystemQemu) || !fs::exists(SystemQemuImg))
      GTEST_SKIP() << "qemu-system-x86 and qemu-utils are not installed";
    if (!fs::exists(fs::path(ExeDir()) / "demo.img")) GTEST_SKIP() << "no demo.img in this build";
    fx_.InstallProgram("qemu", "qemu\\qemu.exe");
    fx_.Remove("qemu\\qemu-img.exe");
    fs::create_symlink(SystemQemuImg, fx_.FsPath("qemu\\qemu-img"));
    fx_.MakeDir("images");
    fs::copy_file(fs::path(ExeDir()) / "demo.img", fx_.FsPath("images\\demo.img"));
    fx_.Write("qemu\\qemu.ini",
              IniText({"[qemu]", std::string("system=") + SystemQemu,
                       "extra=-display none -serial file:" + fx_.Path("serial.txt") +
                           " -device isa-debug-exit,iobase=0xf4,iosize=0x04 -accel tcg",
                       "audio=none"}));
    fx_.Write("db\\db.ini", DbIni("2026.12", Categories));
    fx_.Write("db\\Demo.ini", CategoryIni({Demo}));
#endif
  }

  // Quillhaven expects to be started in its own folder.
  RunResult Run(const std::string& input) {
    return fx_.RunProgram(ProgramFileName("quillhaven"), input, fx_.FsPath(""));
  }

  std::string Serial() { return NormalizeLineEnds(fx_.Read("serial.txt")); }

  Fixture fx_;
};

std::string RamChecked(int megabytes) {
  return " Ram for qemu: " + std::to_string(megabytes) + "mb [ OK ]\n";
}

std::string UpToList() {
  return Startup(DbReport("2026.12", Categories)) + MainScreen(Categories) +
         CategoryScreen(DisplayNames({Demo}), false);
}

std::string LaunchUntilQemu(const std::string& name, const std::string& version) {
  return OsBox(name, version) + RamMenu() + OsBox(name, version) + HostLine() + RamChecked(128) +
         "\n " + name + " is now running,\n do NOT close this window \n\n";
}

const std::string Continue = "\n Press <Enter> to continue ";

TEST_F(QemuBoot, DemoOsBootsFromTheMainMenu) {
  // The front end chooses the accelerator: a floppy's boot gets TCG on every host.
  std::string ini = fx_.Read("qemu\\qemu.ini");
  fx_.Write("qemu\\qemu.ini", ini.erase(ini.find(" -accel tcg"), 11));
  // Demo category, its first OS, 128 MB, Enter after QEMU, leave.
  RunResult run = Run("2\n1\n1\n\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(UpToList() + LaunchUntilQemu(Demo.name, Demo.version) + Continue +
                        MainScreen(Categories),
                    run.out);
  EXPECT_NE(Serial().find(Greeting + "\n"), std::string::npos) << Serial();
  // The raw floppy's format notice is no error: the clean run leaves an empty file.
  EXPECT_TRUE(fx_.Exists("qemu\\stderr.txt"));
  EXPECT_EQ(fx_.Read("qemu\\stderr.txt"), "");
  EXPECT_TRUE(fx_.ToolLog().empty());  // no fake tool was needed
  // The guest got processors after the host's count and QEMU's most capable model (TCG).
  const unsigned host = std::max(1u, std::thread::hardware_concurrency());
  const unsigned smp = host < 2 ? 1 : std::clamp(host / 2, 2u, 8u);
  const std::string firstLog = fx_.Read("qemu\\qemu.log");
  EXPECT_NE(firstLog.find(" -accel tcg -smp " + std::to_string(smp) + " -cpu max -display none "),
            std::string::npos)
      << firstLog;
  EXPECT_NE(NormalizeLineEnds(firstLog).find("\naccelerator: tcg\n"), std::string::npos) << firstLog;

  // A CPU feature TCG lacks makes QEMU warn on every start of a good run, which the guest
  // ends through the debug-exit port (QEMU's exit code 1): still no error on the screen.
  fx_.Write("qemu\\qemu.ini",
            IniText({"[qemu]", std::string("system=") + SystemQemu,
                     "extra=-display none -serial file:" + fx_.Path("serial.txt") +
                         " -device isa-debug-exit,iobase=0xf4,iosize=0x04 -accel tcg -cpu "
                         "qemu64,+vmx",
                     "audio=none"}));
  run = Run("2\n1\n1\n\n0\n");
  EXPECT_TRANSCRIPT(UpToList() + LaunchUntilQemu(Demo.name, Demo.version) + Continue +
                        MainScreen(Categories),
                    run.out);
  EXPECT_EQ(fx_.Read("qemu\\stderr.txt"), "");
  const std::string log = NormalizeLineEnds(fx_.Read("qemu\\qemu.log"));
  EXPECT_NE(log.find("warning: TCG doesn't support requested feature"), std::string::npos) << log;
  EXPECT_NE(log.find("\naccelerator: tcg\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("-cpu max"), std::string::npos) << log;  // extra's -cpu wins
}

TEST_F(QemuBoot, VirtualDiskMadeByQemuImgBoots) {
  // Boot virtual HDD, yes create it, 10M, Enter, no partitioning, leave.
  RunResult create = Run("1\n1\n10M\n\n2\n0\n");
  ASSERT_TRUE(fx_.Exists("images\\hdb.img")) << create.out;
  std::string disk = fx_.Read("images\\hdb.img");
  ASSERT_GE(disk.size(), 4u);
  EXPECT_EQ(disk.substr(0, 4), "KDMV");  // a sparse VMDK, as qemu-img makes it
  EXPECT_NE(create.out.find(" Creating 10M HDD\n Formatting 'images//hdb.img', fmt=vmdk"),
            std::string::npos)
      << create.out;
  EXPECT_NE(create.out.find(" HDD was created succefully!\n"), std::string::npos);

  // What an OS installation would do: put a boot sector on the disk.
  const std::string convert = std::string(SystemQemuImg) + " convert -n -f raw -O vmdk " +
                              fx_.Path("images\\demo.img") + " " + fx_.Path("images\\hdb.img");
  ASSERT_EQ(RunRedirected(convert, "", "", "", ""), 0);

  // Boot virtual HDD, 128 MB, Enter after QEMU, leave.
  RunResult boot = Run("1\n1\n\n0\n");

  EXPECT_EQ(boot.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("2026.12", Categories)) + MainScreen(Categories) +
                        OsBox("Boot from HDD", "") + RamMenu() + OsBox("Boot from HDD", "") +
                        HostLine() + RamChecked(128) +
                        "\n\n Booting from HDD...\n do NOT close this window \n\n" + Continue +
                        MainScreen(Categories),
                    boot.out);
  EXPECT_NE(Serial().find(Greeting + "\n"), std::string::npos) << Serial();
  EXPECT_EQ(fx_.Read("qemu\\stderr.txt"), "");
}

TEST_F(QemuBoot, ImageQemuCannotOpenShowsQemusOwnMessage) {
  // A qcow2 header the front end lets through (no other file named) with a cluster size
  // of 2^0, which QEMU refuses.
  std::string broken = std::string("QFI\xfb", 4) + std::string("\0\0\0\x03", 4) + std::string(504, '\0');
  fx_.Write("images\\broken.img", broken);
  const OsEntry bad = {"Broken", "2", "", "broken.img", "hdd", "std"};
  fx_.Write("db\\Demo.ini", CategoryIni({Demo, bad}));

  RunResult run = Run("2\n2\n1\n\n0\n");

  const std::string errors = NormalizeLineEnds(fx_.Read("qemu\\stderr.txt"));
  ASSERT_NE(errors.find("-drive file=images//broken.img,format=qcow2,index=0,media=disk: "),
            std::string::npos)
      << errors;
  EXPECT_NE(errors.find("Unsupported cluster size"), std::string::npos) << errors;
  std::vector<std::string> lines = Lines(errors);
  ASSERT_FALSE(lines.empty());
  std::string shown = QemuErrors(lines[0]);
  for (size_t i = 1; i < lines.size(); ++i) shown += "  " + lines[i] + "\n";
  EXPECT_TRANSCRIPT(Startup(DbReport("2026.12", Categories)) + MainScreen(Categories) +
                        CategoryScreen(DisplayNames({Demo, bad}), false) +
                        LaunchUntilQemu("Broken", "2") + shown + "\n" + Continue +
                        MainScreen(Categories),
                    run.out);

  // One of a version no QEMU knows is refused by the front end itself, with its own line.
  broken[7] = 99;
  fx_.Write("images\\broken.img", broken);
  run = Run("2\n2\n1\n\n0\n");
  const std::string refusal =
      "qemu: images//broken.img is refused: a qcow2 image of version 99, unknown here";
  EXPECT_EQ(NormalizeLineEnds(fx_.Read("qemu\\stderr.txt")), refusal + "\n");
  EXPECT_TRANSCRIPT(Startup(DbReport("2026.12", Categories)) + MainScreen(Categories) +
                        CategoryScreen(DisplayNames({Demo, bad}), false) +
                        LaunchUntilQemu("Broken", "2") + QemuErrors(refusal) + "\n" + Continue +
                        MainScreen(Categories),
                    run.out);
  EXPECT_EQ(NormalizeLineEnds(fx_.Read("qemu\\qemu.log")), refusal + "\n");  // QEMU was not run
}

// The UEFI demo the build makes, as the demo installation has it: an Own entry with
// firmware=uefi, booted from the main menu through the firmware the front end finds (the
// QEMU's descriptors, here Debian's ovmf). Its variables are made beside the image.
TEST_F(QemuBoot, UefiDemoBootsFromTheMainMenu) {
  const fs::path disk = fs::path(ExeDir()) / "demo-uefi.img";
  if (!fs::exists(disk)) GTEST_SKIP() << "no demo-uefi.img in this build";
  if (!fs::exists("/usr/share/OVMF/OVMF_CODE_4M.fd")) GTEST_SKIP() << "ovmf is not installed";
  fs::copy_file(disk, fx_.FsPath("images\\demo-uefi.img"));
  OsEntry uefi = {"Quillhaven UEFI Demo", "1.0", "", "demo-uefi.img", "hdd", "std"};
  uefi.firmware = "uefi";
  const std::vector<std::string> categories = {"Demo", "Own"};
  fx_.Write("db\\db.ini", DbIni("2026.12", categories));
  fx_.Write("db\\Own.ini", CategoryIni({uefi}));
  const std::string upToList = Startup(DbReport("2026.12", categories)) +
                               MainScreen(categories) +
                               CategoryScreen(DisplayNames({uefi}), false);

  // Own, its first OS, 128 MB, Enter after QEMU, leave.
  RunResult run = Run("3\n1\n1\n\n0\n");

  EXPECT_TRANSCRIPT(upToList + LaunchUntilQemu(uefi.name, uefi.version) + Continue +
                        MainScreen(categories),
                    run.out);
  EXPECT_NE(Serial().find("Hello from the Quillhaven UEFI demo!\n"), std::string::npos)
      << Serial();
  EXPECT_EQ(fx_.Read("qemu\\stderr.txt"), "");
  EXPECT_EQ(fs::file_size(fx_.FsPath("images\\demo-uefi.img.vars.fd")),
            fs::file_size("/usr/share/OVMF/OVMF_VARS_4M.fd"));
  const std::string log = NormalizeLineEnds(fx_.Read("qemu\\qemu.log"));
  EXPECT_NE(log.find("if=pflash,format=raw,unit=1,file=images//demo-uefi.img.vars.fd"),
            std::string::npos)
      << log;

  // Firmware named in qemu.ini that is not there stops the launch with one line.
  fx_.Write("qemu\\qemu.ini", fx_.Read("qemu\\qemu.ini") + "uefi=/nonexistent/CODE.fd\n");
  run = Run("3\n1\n1\n\n0\n");
  EXPECT_TRANSCRIPT(upToList + LaunchUntilQemu(uefi.name, uefi.version) +
                        QemuErrors("qemu: UEFI firmware not found: [qemu] uefi=/nonexistent/CODE.fd") +
                        "\n" + Continue + MainScreen(categories),
                    run.out);
}

#ifndef _WIN32
// Images that would make QEMU open another host file are refused by the front end before
// QEMU starts: here the other file is a named pipe, watched for any open. An Own entry
// with a self-contained qcow2 image still boots.
TEST_F(QemuBoot, ImagesNamingOtherFilesAreRefusedAndTheirFileNeverOpened) {
  // One pipe outside the images folder that images name, one that is an image itself.
  const std::string pipe = fx_.Path("watched.pipe");
  const std::string pipeImage = fx_.Path("images\\pipe.img");
  const int watch = inotify_init1(IN_NONBLOCK);
  ASSERT_GE(watch, 0);
  for (const std::string& p : {pipe, pipeImage}) {
    ASSERT_EQ(mkfifo(p.c_str(), 0600), 0);
    ASSERT_GE(inotify_add_watch(watch, p.c_str(), IN_OPEN), 0);
  }
  // Should anything open a pipe to read it, it finds it empty rather than waiting for ever
  // (a writer's open succeeds only while a reader waits).
  std::atomic<bool> done{false};
  std::thread writer([&] {
    while (!done) {
      for (const std::string& p : {pipe, pipeImage}) {
        const int fd = open(p.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });

  for (const std::string& args :
       {" create -q -f qcow2 -u -b " + pipe + " -F raw " + fx_.Path("images\\backed.img") + " 1M",
        " convert -f raw -O qcow2 " + fx_.Path("images\\demo.img") + " " + fx_.Path("images\\own.qcow2")})
    ASSERT_EQ(RunRedirected(SystemQemuImg + args, "", "", "", ""), 0) << args;
  fx_.Write("images\\desc.vmdk", "# Disk DescriptorFile\nversion=1\nCID=fffffffe\nparentCID=ffffffff\n"
                                  "createType=\"monolithicFlat\"\nRW 2048 FLAT \"" + pipe + "\" 0\n");
  const std::vector<OsEntry> own = {{"Backed", "1", "", "backed.img", "hdd", "std"},
                                    {"Described", "1", "", "desc.vmdk", "hdd", "std"},
                                    {"Mine", "1", "", "own.qcow2", "hdd", "std"}};
  const std::vector<std::string> categories = {"Demo", "Own"};
  fx_.Write("db\\db.ini", DbIni("2026.12", categories));
  fx_.Write("db\\Own.ini", CategoryIni(own));

  const std::string refusals[] = {
      "qemu: images//backed.img is refused: a qcow2 image with a backing file",
      "qemu: images//desc.vmdk is refused: a VMDK descriptor, which names other files",
  };
  for (int entry = 1; entry <= 2; ++entry) {
    // Own category, the entry, 128 MB, Enter after QEMU, leave.
    RunResult run = Run("3\n" + std::to_string(entry) + "\n1\n\n0\n");
    const std::string& refusal = refusals[entry - 1];
    EXPECT_EQ(NormalizeLineEnds(fx_.Read("qemu\\stderr.txt")), refusal + "\n");
    EXPECT_NE(run.out.find(QemuErrors(refusal)), std::string::npos) << run.out;
  }
  // Quillhaven itself takes a pipe for a missing image; the front end, started with one,
  // refuses it without opening it.
  EXPECT_EQ(RunRedirected(fx_.Path("qemu\\qemu.exe") + " -m 128 -cdrom images\\\\pipe.img -boot once=d",
                          fx_.Dir(), "", "", ""),
            1);
  EXPECT_EQ(NormalizeLineEnds(fx_.Read("qemu\\stderr.txt")),
            "qemu: images//pipe.img is refused: not a regular file\n");

  RunResult mine = Run("3\n3\n1\n\n0\n");
  EXPECT_EQ(fx_.Read("qemu\\stderr.txt"), "") << mine.out;
  EXPECT_NE(Serial().find(Greeting + "\n"), std::string::npos) << Serial();
  EXPECT_NE(fx_.Read("qemu\\qemu.log").find("file=images//own.qcow2,format=qcow2,"), std::string::npos);

  inotify_event event{};
  const bool opened = read(watch, &event, sizeof event) > 0;
  EXPECT_FALSE(opened) << "a pipe was opened";
  done = true;
  writer.join();
  close(watch);
}
#endif

}  // namespace
