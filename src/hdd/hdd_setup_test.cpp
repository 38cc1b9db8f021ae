// The qemu-img command line that makes the virtual disk.
#include "hdd/hdd_setup.h"

#include <gtest/gtest.h>

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

}  // namespace
