// The qemu-img command line that makes the virtual disk, and a partition-manager image
// that its check refuses.
#include "hdd/hdd_setup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/failing_file_ops.h"
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

// The [hddmanager] hash and file name are checked like a catalogue entry's; since the HDD
// SETUP menu clears the screen right after, the refusal waits for Enter. A file name that
// leads out of the images folder is refused though a file lies there, and starts no tool.
TEST(RunPartitionManager, ImageWithAnotherHashIsRemovedAndTheReasonStaysOnScreen) {
  struct Row {
    std::string filename, sha256, reason;
    std::size_t tools;
  };
  const Row rows[] = {
      {"pm.iso", std::string(64, '0'), " * ERROR image is damaged (SHA-256 does not match)", 1},
      {"../db/db.ini", "",
       " * ERROR bad file name: none of \\ / : * ? \" < > | can be part of an image's name", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.filename);
    launchtest::TempInstall install;
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(install.Fs(""));
    std::filesystem::create_directories(install.Fs("images"));
    install.Write("db/db.ini", "[hddmanager]\r\ndownload=http://127.0.0.1:1/pm.iso\r\n"
                               "filename=" + row.filename + "\r\nsha256=" + row.sha256 + "\r\n");
    install.InstallFakeTool("wget/wget.exe", "create images\\temp\\$LAST 100\n");
    install.InstallFakeTool("qemu/qemu.exe");
    {
      launchtest::Console console("\nnext\n");
      RunPartitionManager();
      const std::string out = console.Output();
      EXPECT_NE(out.find("\n Downloading Partition manager \n\n" + row.reason +
                         "\n Press <Enter> to continue"),
                std::string::npos)
          << out;
      EXPECT_EQ(console.InputLeft(), "next\n");
    }
    std::filesystem::current_path(saved);
    EXPECT_FALSE(std::filesystem::exists(install.Fs("images/pm.iso")));
    EXPECT_FALSE(std::filesystem::exists(install.Fs("images/temp/pm.iso")));
    EXPECT_EQ(install.ToolLog().size(), row.tools);  // wget at most: no QEMU
  }
}

// qemu-img fails after the old disk was set aside: the old disk comes back, and where the
// move back fails too, the screen names the file that holds it.
TEST(CreateHdd, OldDiskComesBackOrIsNamedWhenQemuImgFails) {
  for (const int failAt : {0, 3}) {  // 0: no fault; 3: the move back (after set-aside, remove)
    SCOPED_TRACE(failAt);
    launchtest::TempInstall install;
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(install.Fs(""));
    install.Write("images/hdb.img", "old disk");
    install.InstallFakeTool("qemu/qemu-img.exe", "exit 1\n");
    std::string out;
    {
      FailingFileOps faults(failAt, false);
      launchtest::Console console("1\n1G\n\n");
      EXPECT_FALSE(CreateHdd());
      out = console.Output();
    }
    std::filesystem::current_path(saved);
    const std::string kept = failAt ? "images/hdb.img.old" : "images/hdb.img";
    EXPECT_EQ(install.Read(kept), "old disk");
    const std::string line = failAt ? " The old HDD could not be put back; it is kept as " +
                                          NativeRelative("images/hdb.img.old").string() + "."
                                    : " The old HDD was kept.";
    EXPECT_NE(out.find(" *ERROR* - HDD was NOT created!\n" + line + "\n"), std::string::npos) << out;
  }
}

}  // namespace
