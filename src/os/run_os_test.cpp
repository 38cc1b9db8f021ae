// The QEMU command line of an OS launch, and the display of QEMU's error file.
#include "os/run_os.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/settings.h"
#include "support/launch_test_util.h"

namespace {

using launchtest::Console;
using launchtest::TempInstall;

const std::string App = "D:\\Q\\";

TEST(QemuBaseCommand, AcceleratorOnlyOnA32BitHostThatAllowsIt) {
  const std::string plain = "qemu\\qemu -L .\\qemu -localtime -soundhw all ";
  EXPECT_EQ(QemuBaseCommand(true, false), plain);
  EXPECT_EQ(QemuBaseCommand(true, true), plain);
  EXPECT_EQ(QemuBaseCommand(false, true), plain);
  EXPECT_EQ(QemuBaseCommand(false, false),
            "qemu\\qemu -L .\\qemu -kernel-kqemu -localtime -soundhw all ");
}

TEST(OsCommandLine, CdromOnA32BitHostWithTheAcceleratorAndTheDisk) {
  EXPECT_EQ(OsCommandLine(App, "images", false, false, 512, "cirrus", "cdrom", "linux.iso", true),
            "D:\\Q\\qemu\\qemu -L .\\qemu -kernel-kqemu -localtime -soundhw all -m 512 "
            "-vga cirrus -cdrom images\\\\linux.iso -hdb images\\\\hdb.img -boot once=d");
}

TEST(OsCommandLine, NoAcceleratorOn64BitHostsOrWhenDisabled) {
  const std::string expected =
      "D:\\Q\\qemu\\qemu -L .\\qemu -localtime -soundhw all -m 256 -vga std "
      "-cdrom images\\\\linux.iso -boot once=d";
  EXPECT_EQ(OsCommandLine(App, "images", true, false, 256, "std", "cdrom", "linux.iso", false),
            expected);
  EXPECT_EQ(OsCommandLine(App, "images", true, true, 256, "std", "cdrom", "linux.iso", false),
            expected);
  EXPECT_EQ(OsCommandLine(App, "images", false, true, 256, "std", "cdrom", "linux.iso", false),
            expected);
}

TEST(OsCommandLine, EachOstypeHasItsDriveAndBootLetter) {
  EXPECT_EQ(OsCommandLine(App, "images", true, false, 128, "vmware", "hdd", "dos.img", false),
            "D:\\Q\\qemu\\qemu -L .\\qemu -localtime -soundhw all -m 128 -vga vmware "
            "-hda images\\\\dos.img -boot once=c");
  EXPECT_EQ(OsCommandLine(App, "images", true, false, 128, "cirrus", "fdd", "boot.img", false),
            "D:\\Q\\qemu\\qemu -L .\\qemu -localtime -soundhw all -m 128 -vga cirrus "
            "-fda images\\\\boot.img -boot once=a");
}

TEST(OsCommandLine, TheDiskIsAttachedToEveryOstypeWithoutChangingTheBootDrive) {
  EXPECT_EQ(OsCommandLine(App, "images", true, false, 1024, "cirrus", "hdd", "dos.img", true),
            "D:\\Q\\qemu\\qemu -L .\\qemu -localtime -soundhw all -m 1024 -vga cirrus "
            "-hda images\\\\dos.img -hdb images\\\\hdb.img -boot once=c");
  EXPECT_EQ(OsCommandLine(App, "images", false, false, 384, "std", "fdd", "f.img", true),
            "D:\\Q\\qemu\\qemu -L .\\qemu -kernel-kqemu -localtime -soundhw all -m 384 -vga std "
            "-fda images\\\\f.img -hdb images\\\\hdb.img -boot once=a");
}

TEST(OsCommandLine, EmptyVgaMeansCirrusAndOtherValuesPassUnchanged) {
  EXPECT_EQ(OsCommandLine(App, "images", true, false, 512, "", "cdrom", "a.iso", false),
            "D:\\Q\\qemu\\qemu -L .\\qemu -localtime -soundhw all -m 512 -vga cirrus "
            "-cdrom images\\\\a.iso -boot once=d");
  EXPECT_EQ(OsCommandLine(App, "images", true, false, 512, "Fancy", "cdrom", "a.iso", false),
            "D:\\Q\\qemu\\qemu -L .\\qemu -localtime -soundhw all -m 512 -vga Fancy "
            "-cdrom images\\\\a.iso -boot once=d");
}

TEST(OsCommandLine, FoldersAndNamesAreJoinedUnquoted) {
  EXPECT_EQ(OsCommandLine("/opt/qh/", "..\\data\\img", true, false, 256, "std", "cdrom",
                          "my disc.iso", true),
            "/opt/qh/qemu\\qemu -L .\\qemu -localtime -soundhw all -m 256 -vga std "
            "-cdrom ..\\data\\img\\\\my disc.iso -hdb ..\\data\\img\\\\hdb.img -boot once=d");
}

TEST(OsCommandLine, AnyOtherOstypeGivesNoCommandLine) {
  for (const char* ostype : {"CDROM", "Cdrom", "HDD", "Fdd", "ERROR", "", "cdrom ", "dvd"}) {
    EXPECT_EQ(OsCommandLine(App, "images", true, false, 512, "cirrus", ostype, "a.iso", true), "")
        << ostype;
  }
}

class QemuErrors : public ::testing::Test {
 protected:
  std::string Show() {
    Console console;
    ShowQemuErrors();
    return console.Output();
  }
  TempInstall install;
};

TEST_F(QemuErrors, NoFileOrAnEmptyOneShowsNothing) {
  EXPECT_EQ(Show(), "");
  install.Write("qemu/stderr.txt", "");
  EXPECT_EQ(Show(), "");
  // A folder of that name is no error file either.
  std::filesystem::remove(install.Fs("qemu/stderr.txt"));
  std::filesystem::create_directories(install.Fs("qemu/stderr.txt"));
  EXPECT_EQ(Show(), "");
}

TEST_F(QemuErrors, OneLineStandsOnTheErrorLine) {
  install.Write("qemu/stderr.txt", "could not open disk image\n");
  EXPECT_EQ(Show(), " Qemu .... [ ERROR ]\n  QEMU ERROR:   could not open disk image\n\n");
  // The file is only read, never emptied: it shows again.
  EXPECT_EQ(Show(), " Qemu .... [ ERROR ]\n  QEMU ERROR:   could not open disk image\n\n");
  EXPECT_EQ(install.Read("qemu/stderr.txt"), "could not open disk image\n");
}

TEST_F(QemuErrors, FurtherLinesStandOnLinesOfTheirOwn) {
  install.Write("qemu/stderr.txt", "first\r\nsecond\r\n\r\nfourth");
  EXPECT_EQ(Show(),
            " Qemu .... [ ERROR ]\n"
            "  QEMU ERROR:   first\n"
            "  second\n"
            "  \n"
            "  fourth\n"
            "\n");
}

#ifndef _WIN32
// A file that exists, has a size, and still cannot be read: no read permission, or for the
// super-user (who ignores permissions) a link to a kernel attribute that refuses reading.
bool MakeUnreadable(TempInstall& install) {
  namespace fs = std::filesystem;
  install.Write("qemu/stderr.txt", "secret\n");
  fs::permissions(install.Fs("qemu/stderr.txt"), fs::perms::none);
  if (!std::ifstream(install.Fs("qemu/stderr.txt"))) return true;
  fs::remove(install.Fs("qemu/stderr.txt"));
  for (const char* attribute : {"/sys/bus/pci/rescan", "/sys/kernel/mm/ksm/run"}) {
    std::error_code ec;
    if (!fs::is_regular_file(attribute, ec) || fs::file_size(attribute, ec) == 0) continue;
    std::ifstream probe(attribute);
    char c;
    if (probe && probe.get(c)) continue;   // readable after all
    fs::create_symlink(attribute, install.Fs("qemu/stderr.txt"));
    return true;
  }
  return false;
}

TEST_F(QemuErrors, AnUnreadableFileShowsOnlyTheErrorLine) {
  if (!MakeUnreadable(install)) GTEST_SKIP() << "no way to make an unreadable file here";
  EXPECT_EQ(Show(), " Qemu .... [ ERROR ]\n");
}
#endif

}  // namespace
