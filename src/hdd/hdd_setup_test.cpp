// The qemu-img command line that makes the virtual disk, and a partition-manager image
// that its check refuses.
#include "hdd/hdd_setup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/launch_test_util.h"

namespace {

TEST(QemuImgCommandLine, NamesTheDiskWithTwoBackslashesAndTheSizeAsTyped) {
  EXPECT_EQ(QemuImgCommandLine("D:\\Q\\", "images", "1G"),
            "D:\\Q\\qemu\\qemu-img create -f vmdk images\\\\hdb.img 1G");
  EXPECT_EQ(QemuImgCommandLine("D:\\Q\\", "images", "100K"),
            "D:\\Q\\qemu\\qemu-img create -f vmdk images\\\\hdb.img 100K");
}

TEST(QemuImgCommandLine, FolderAndSizeAreNotQuoted) {
  EXPECT_EQ(QemuImgCommandLine("/opt/qh/", "..\\data", "1 G"),
            "/opt/qh/qemu\\qemu-img create -f vmdk ..\\data\\\\hdb.img 1 G");
}

// The [hddmanager] hash is checked like a catalogue entry's; since the HDD SETUP menu clears
// the screen right after, the refusal waits for Enter.
TEST(RunPartitionManager, ImageWithAnotherHashIsRemovedAndTheReasonStaysOnScreen) {
  launchtest::TempInstall install;
  const auto saved = std::filesystem::current_path();
  std::filesystem::current_path(install.Fs(""));
  std::filesystem::create_directories(install.Fs("images"));
  install.Write("db/db.ini", "[hddmanager]\r\ndownload=http://127.0.0.1:1/pm.iso\r\n"
                             "filename=pm.iso\r\nsha256=" + std::string(64, '0') + "\r\n");
  install.InstallFakeTool("wget/wget.exe", "create images\\temp\\$LAST 100\n");
  {
    launchtest::Console console("\nnext\n");
    RunPartitionManager();
    const std::string out = console.Output();
    EXPECT_NE(out.find("\n Downloading Partition manager \n\n"
                       " * ERROR image is damaged (SHA-256 does not match)\n"
                       " Press <Enter> to continue"),
              std::string::npos)
        << out;
    EXPECT_EQ(console.InputLeft(), "next\n");
  }
  std::filesystem::current_path(saved);
  EXPECT_FALSE(std::filesystem::exists(install.Fs("images/pm.iso")));
  EXPECT_FALSE(std::filesystem::exists(install.Fs("images/temp/pm.iso")));
  EXPECT_EQ(install.ToolLog().size(), 1u);  // wget only: no QEMU
}

}  // namespace
