#include "qemu_front/uefi_demo_image.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uint16_t Get16(const std::vector<uint8_t>& d, size_t at) {
  return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}

uint16_t FatEntry(const std::vector<uint8_t>& d, uint16_t cluster) {
  const uint16_t pair = Get16(d, 512 + cluster * 3 / 2);
  return cluster % 2 == 0 ? pair & 0xfff : pair >> 4;
}

// Reads a file the way a FAT12 reader does: its directory entry by 8.3 name in a directory
// of one cluster, then the cluster chain. -1 cluster means the root directory.
size_t Find(const std::vector<uint8_t>& d, int dirCluster, const std::string& name) {
  const size_t start = dirCluster < 0 ? 19 * 512 : (33 + dirCluster - 2) * 512;
  for (size_t at = start; at < start + (dirCluster < 0 ? 14 * 512 : 512); at += 32)
    if (std::string(d.begin() + at, d.begin() + at + 11) == name) return at;
  return 0;
}

TEST(UefiDemoDisk, HoldsTheApplicationAtTheFallbackBootPath) {
  std::vector<uint8_t> app(1300);  // three clusters: odd and even FAT entries
  for (size_t i = 0; i < app.size(); ++i) app[i] = static_cast<uint8_t>(i * 7 + 1);
  const std::vector<uint8_t> d = UefiDemoDisk(app);
  ASSERT_EQ(d.size(), UefiDemoDiskSize);
  EXPECT_EQ(Get16(d, 11), 512);
  EXPECT_EQ(Get16(d, 19), 2880);
  EXPECT_EQ(std::string(d.begin() + 54, d.begin() + 62), "FAT12   ");
  EXPECT_EQ(Get16(d, 510), 0xaa55);
  EXPECT_EQ(std::vector<uint8_t>(d.begin() + 512, d.begin() + 512 + 9 * 512),
            std::vector<uint8_t>(d.begin() + 10 * 512, d.begin() + 19 * 512));  // both FATs

  const size_t efi = Find(d, -1, "EFI        ");
  ASSERT_NE(efi, 0u);
  const size_t boot = Find(d, Get16(d, efi + 26), "BOOT       ");
  ASSERT_NE(boot, 0u);
  const size_t file = Find(d, Get16(d, boot + 26), "BOOTX64 EFI");
  ASSERT_NE(file, 0u);
  ASSERT_EQ(Get16(d, file + 28), app.size());
  std::vector<uint8_t> read;
  for (uint16_t c = Get16(d, file + 26); c < 0xff8; c = FatEntry(d, c)) {
    ASSERT_LT(read.size(), app.size()) << "chain too long";
    const size_t at = (33 + c - 2) * 512;
    read.insert(read.end(), d.begin() + at, d.begin() + at + 512);
  }
  read.resize(app.size());
  EXPECT_EQ(read, app);

  EXPECT_TRUE(UefiDemoDisk({}).empty());
  EXPECT_TRUE(UefiDemoDisk(std::vector<uint8_t>(UefiDemoMaxApplication + 1)).empty());
  EXPECT_EQ(UefiDemoDisk(std::vector<uint8_t>(UefiDemoMaxApplication, 1)).size(),
            UefiDemoDiskSize);
}

}  // namespace
