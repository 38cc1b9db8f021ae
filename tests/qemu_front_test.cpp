// The QEMU front end as a program, in a fixture installation whose "real QEMU" is the fake
// tool: what QEMU receives, where its error output ends up, its exit code, and the front
// end's own errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "launch_screens.h"
#include "main_func/process.h"
#include "main_func/vm_host.h"
#include "support/fixture.h"
#include "support/transcript.h"

namespace {

using launchscreens::Logged;
using launchscreens::Received;
using Log = std::vector<std::string>;

const std::string Qemu = ProgramFileName("qemu-system-x86_64");
const std::string QemuTool = "qemu\\" + Qemu;
const std::string QemuLogName = "qemu/" + Qemu;

// The cards of "-soundhw all" on the silent back end.
const std::string AllCards =
    "-audiodev none,id=snd0 -device sb16,audiodev=snd0 -device AC97,audiodev=snd0 "
    "-device es1370,audiodev=snd0 -device adlib,audiodev=snd0 -device gus,audiodev=snd0 "
    "-device cs4231a,audiodev=snd0 -device intel-hda -device hda-duplex,audiodev=snd0 "
    "-machine pcspk-audiodev=snd0";

const std::string DemoLine =
    "-L .\\qemu -localtime -soundhw all -m 128 -vga std -fda images\\\\demo.img -boot once=a";
// What QEMU receives for the demo's floppy (no file: raw, and QEMU says what is missing).
const std::string DemoDrive = "-drive file=images\\\\demo.img,format=raw,if=floppy,index=0";

bool ThisHostIsLinux() {
#ifdef __linux__
  return true;
#else
  return false;
#endif
}

// An installation holding the front end as qemu\qemu.exe and the given qemu.ini.
class FrontEnd : public ::testing::Test {
 protected:
  FrontEnd() : fx_(Fixture::Layout::Bare) {
    fx_.InstallProgram("qemu", "qemu\\qemu.exe");
    // Everything that depends on the test machine is fixed here.
    fx_.Write("qemu\\qemu.ini", "[qemu]\r\nextra=-display none -accel tcg\r\naudio=none\r\ncpus=1\r\n");
  }

  // Runs the front end the way Quillhaven does: its full path and the arguments, unquoted,
  // in the installation's folder.
  int Launch(const std::string& arguments) {
    return RunRedirected(fx_.Path("qemu\\qemu.exe") + " " + arguments, fx_.Dir(), "", "", "");
  }

  std::string ErrorFile() { return NormalizeLineEnds(fx_.Read("qemu\\stderr.txt")); }

  Fixture fx_;
};

TEST_F(FrontEnd, RunsQemuBesideItWithTheTranslatedCommandLine) {
  fx_.InstallTool(QemuTool, "exit 3\n");

  EXPECT_EQ(Launch(DemoLine), 3);  // QEMU's own exit code

  EXPECT_EQ(fx_.ToolLog(),
            Log{Logged(QemuLogName, "-L .\\qemu -rtc base=localtime " + AllCards +
                                        " -m 128 -vga std " + DemoDrive +
                                        " -boot once=a -smp 1 -cpu max -display none -accel tcg")});
  EXPECT_TRUE(fx_.Exists("qemu\\stderr.txt"));
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FrontEnd, EveryLaunchLineOfQuillhavenIsAccepted) {
  fx_.InstallTool(QemuTool);
  // The virtual disk as qemu-img makes it: a sparse VMDK of 2048 sectors.
  fx_.Write("images\\hdb.img",
            "KDMV" + std::string("\1\0\0\0\3\0\0\0\0\x08\0\0", 12) + std::string(500, '\0'));
  const std::string lines[] = {
      "-L .\\qemu -kernel-kqemu -localtime -soundhw all -m 512 -vga cirrus -cdrom "
      "images\\\\linux.iso -hdb images\\\\hdb.img -boot once=d",
      "-L .\\qemu -localtime -soundhw all -m 1024 -vga vmware -hda images\\\\os.img -boot once=c",
      "-L .\\qemu -localtime -soundhw all -vga cirrus -m 256 -hdb images\\\\hdb.img -boot once=c",
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    EXPECT_EQ(Launch(line), 0);
    EXPECT_EQ(ErrorFile(), "");
  }
  Log log = fx_.ToolLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], Logged(QemuLogName, "-L .\\qemu -rtc base=localtime " + AllCards +
                                            " -m 512 -vga cirrus -drive file=images\\\\linux.iso,format=raw,index=2,"
                                            "media=cdrom -drive file=images\\\\hdb.img,format=vmdk,"
                                            "index=1,media=disk -boot once=d -smp 1 -cpu max -display none "
                                            "-accel tcg"));
}

TEST_F(FrontEnd, QemusErrorsStayInTheErrorFileItsWarningsOnlyInTheLog) {
  const std::string notice =
      "WARNING: Image format was not specified for 'images//demo.img' and probing guessed raw.\n"
      "         Automatically detecting the format is dangerous for raw images, write "
      "operations on block 0 will be restricted.\n"
      "         Specify the 'raw' format explicitly to remove the restrictions.\n";
  const std::string warning =
      "qemu-system-x86_64: warning: host doesn't support requested feature: CPUID.01H:ECX.pni "
      "[bit 0]\n";
  const std::string error = "qemu-system-x86_64: -fda images//demo.img: Could not read image\n";
  std::string actions;
  for (const std::string& line : Lines(notice + warning)) actions += "stderr " + line + "\n";

  // Warnings on a good run: nothing to show.
  fx_.InstallTool(QemuTool, actions + "exit 0\n");
  EXPECT_EQ(Launch(DemoLine), 0);
  EXPECT_TRUE(fx_.Exists("qemu\\stderr.txt"));
  EXPECT_EQ(ErrorFile(), "");
  const std::string commandLine = "command line: " + fx_.Path("qemu\\" + Qemu) + " " +
                                  Received("-L .\\qemu -rtc base=localtime " + AllCards +
                                           " -m 128 -vga std " + DemoDrive +
                                           " -boot once=a -smp 1 -cpu max -display none -accel tcg") + "\n";
  EXPECT_EQ(NormalizeLineEnds(fx_.Read("qemu\\qemu.log")),
            commandLine + "accelerator: tcg\n\n" + notice + warning);

  // Warnings and an error on a failed run: the error alone.
  fx_.InstallTool(QemuTool, actions + "stderr " + error + "exit 1\n");
  EXPECT_EQ(Launch(DemoLine), 1);
  EXPECT_EQ(ErrorFile(), error);
  EXPECT_EQ(NormalizeLineEnds(fx_.Read("qemu\\qemu.log")),
            commandLine + "accelerator: tcg\n\n" + notice + warning + error);
}

// The QEMU is asked for its accelerators only where the host has one besides TCG, and only
// once for the same QEMU; a forced one asks nothing. KVM is chosen only when it starts a
// processor of the guests' model: a QEMU that aborts there gets TCG alone.
TEST_F(FrontEnd, AcceleratorListIsAskedOnceAndKept) {
  const std::string list = "stdout Accelerators supported in QEMU binary:\nstdout tcg\nstdout kvm\n";
  const std::string check = "-accel kvm -cpu max -smp 1 -nodefaults -display none -S -monitor stdio";
  const bool kvm = ThisHostIsLinux() && KvmUsable();
  for (const bool starts : {true, false}) {
    fx_.Remove("tool_log.txt");
    fx_.Remove("qemu\\accel.cache");
    fx_.InstallTool(QemuTool, list + (starts ? "" : "with -S exit 134\n"));
    fx_.Write("qemu\\qemu.ini", "[qemu]\r\nextra=-display none\r\naudio=none\r\ncpus=1\r\n");
    EXPECT_EQ(Launch("-m 64"), 0);
    EXPECT_EQ(Launch("-m 64"), 0);
    const std::string launch =
        Logged(QemuLogName, std::string("-m 64 ") + (kvm && starts ? "-accel kvm " : "") +
                                "-accel tcg -smp 1 -cpu max -display none");
    const Log expected = kvm ? Log{Logged(QemuLogName, "-accel help"), Logged(QemuLogName, check), launch, launch}
                             : Log{launch, launch};
    EXPECT_EQ(fx_.ToolLog(), expected) << "starts " << starts;
    EXPECT_EQ(fx_.Exists("qemu\\accel.cache"), kvm);
    EXPECT_FALSE(fx_.Exists("qemu\\accel.in"));
    EXPECT_FALSE(fx_.Exists("qemu\\accel.txt"));
  }

  fx_.Remove("tool_log.txt");
  fx_.Remove("qemu\\accel.cache");
  fx_.Write("qemu\\qemu.ini", "[qemu]\r\nextra=-display none\r\naudio=none\r\naccel=tcg\r\ncpus=1\r\n");
  EXPECT_EQ(Launch("-m 64"), 0);
  EXPECT_EQ(fx_.ToolLog(), Log{Logged(QemuLogName, "-m 64 -accel tcg -smp 1 -cpu max -display none")});
}

TEST_F(FrontEnd, ACleanRunEmptiesTheErrorFileOfAnEarlierOne) {
  fx_.InstallTool(QemuTool);
  fx_.Write("qemu\\stderr.txt", "old trouble\r\n");

  EXPECT_EQ(Launch(DemoLine), 0);
  EXPECT_TRUE(fx_.Exists("qemu\\stderr.txt"));
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FrontEnd, UnknownOptionIsReportedAndQemuNotRun) {
  fx_.InstallTool(QemuTool);
  fx_.Write("qemu\\stderr.txt", "old trouble\r\n");

  EXPECT_EQ(Launch("-L .\\qemu -m 128 -snapshot -cdrom images\\\\x.iso"), 1);
  EXPECT_EQ(ErrorFile(), "qemu: unknown option -snapshot\n");
  EXPECT_TRUE(fx_.ToolLog().empty());

  // A file name with a blank is not quoted by Quillhaven, so it arrives in two pieces.
  EXPECT_EQ(Launch("-m 128 -cdrom images\\\\my os.iso -boot once=d"), 1);
  EXPECT_EQ(ErrorFile(), "qemu: unexpected argument 'os.iso'\n");
  EXPECT_TRUE(fx_.ToolLog().empty());

  // An image that would make QEMU open another file: a qcow2 with a backing file.
  std::string backed = "QFI\xfb" + std::string(500, '\0');
  backed[7] = 3;
  backed[15] = 0x70;  // the backing file's name at offset 0x70
  fx_.Write("images\\own.img", backed.replace(0x70, 11, "/etc/passwd"));
  EXPECT_EQ(Launch("-m 128 -hda images\\\\own.img -boot once=c"), 1);
  EXPECT_EQ(ErrorFile(), Received("qemu: images\\\\own.img is refused: a qcow2 image with a backing file\n"));
  EXPECT_TRUE(fx_.ToolLog().empty());

  // A processor count that is no number, on any host.
  fx_.Write("qemu\\qemu.ini", "[qemu]\r\nextra=-display none -accel tcg\r\ncpus=many\r\n");
  EXPECT_EQ(Launch("-m 128"), 1);
  const std::string error = ErrorFile();
  EXPECT_EQ(error.rfind("qemu: cpus=many in [qemu] is not a number from 1 to ", 0), 0u) << error;
  EXPECT_EQ(Lines(error).size(), 1u) << error;
  EXPECT_TRUE(fx_.ToolLog().empty());
}

TEST_F(FrontEnd, ConfiguredQemuIsUsedAndAMissingOneReported) {
  fx_.InstallTool("qemu\\bin\\" + Qemu);
  fx_.Write("qemu\\qemu.ini",
            "[qemu]\r\nsystem=bin\\" + Qemu + "\r\nextra=-display none -accel tcg\r\naudio=none\r\ncpus=1\r\n");
  EXPECT_EQ(Launch("-m 64"), 0);
  // The fake tool logs beside its parent folder, here qemu\.
  const std::string logged = Logged("bin/" + Qemu, "-m 64 -smp 1 -cpu max -display none -accel tcg") + "\n";
  EXPECT_EQ(NormalizeLineEnds(fx_.Read("qemu\\tool_log.txt")), logged);

  const std::string missing = fx_.Path("qemu\\gone\\" + Qemu);
  fx_.Write("qemu\\qemu.ini", "[qemu]\r\nsystem=" + missing + "\r\n");
  EXPECT_EQ(Launch("-m 64"), 1);
  EXPECT_EQ(ErrorFile(), "qemu: QEMU not found (" + missing +
                             "); install it or set [qemu] system in " + fx_.Path("qemu\\qemu.ini") +
                             "\n");
  EXPECT_EQ(NormalizeLineEnds(fx_.Read("qemu\\tool_log.txt")), logged);
}

TEST_F(FrontEnd, RefusesToStartItselfAsQemu) {
  fx_.Write("qemu\\qemu.ini", "[qemu]\r\nsystem=" + fx_.Path("qemu\\qemu.exe") + "\r\n");
  EXPECT_EQ(Launch("-m 64"), 1);
  EXPECT_EQ(ErrorFile(), "qemu: [qemu] system in " + fx_.Path("qemu\\qemu.ini") +
                             " names this front end, not QEMU\n");
}

}  // namespace
