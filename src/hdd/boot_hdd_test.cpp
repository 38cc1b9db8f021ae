// The QEMU command line that boots the virtual disk alone.
#include "hdd/boot_hdd.h"

#include <gtest/gtest.h>

namespace {

TEST(HddBootCommandLine, On64BitHostsNeverWithTheAccelerator) {
  const std::string expected =
      "D:\\Q\\qemu\\qemu -L .\\qemu -localtime -soundhw all -vga cirrus -m 256 "
      "-hdb images\\\\hdb.img -boot once=c";
  EXPECT_EQ(HddBootCommandLine("D:\\Q\\", "images", true, false, 256), expected);
  EXPECT_EQ(HddBootCommandLine("D:\\Q\\", "images", true, true, 256), expected);
}

TEST(HddBootCommandLine, On32BitHostsWithTheAcceleratorUnlessDisabled) {
  EXPECT_EQ(HddBootCommandLine("D:\\Q\\", "images", false, false, 1024),
            "D:\\Q\\qemu\\qemu -L .\\qemu -kernel-kqemu -localtime -soundhw all -vga cirrus "
            "-m 1024 -hdb images\\\\hdb.img -boot once=c");
  EXPECT_EQ(HddBootCommandLine("D:\\Q\\", "images", false, true, 128),
            "D:\\Q\\qemu\\qemu -L .\\qemu -localtime -soundhw all -vga cirrus "
            "-m 128 -hdb images\\\\hdb.img -boot once=c");
}

TEST(HddBootCommandLine, TakesTheConfiguredImagesFolder) {
  EXPECT_EQ(HddBootCommandLine("/opt/qh/", "..\\vm", true, false, 512),
            "/opt/qh/qemu\\qemu -L .\\qemu -localtime -soundhw all -vga cirrus -m 512 "
            "-hdb ..\\vm\\\\hdb.img -boot once=c");
}

}  // namespace
