#include "main_func/sysinfo.h"

#include <gtest/gtest.h>

TEST(SysinfoTest, MemoryStatusFillsTheRecord) {
  MemoryRecord record;
  record.ullAvailPhys = 12345;
  GetMemoryStatus(record);
  EXPECT_EQ(record.dwLength, 64u);
  EXPECT_GT(record.ullTotalPhys, 16ull * 1024 * 1024);
  EXPECT_GT(record.ullAvailPhys, 0u);
  EXPECT_NE(record.ullAvailPhys, 12345u);
  EXPECT_LE(record.ullAvailPhys, record.ullTotalPhys);
  EXPECT_LE(record.dwMemoryLoad, 100u);
}

TEST(SysinfoTest, SixtyFourBitBuildIsASixtyFourBitHost) {
  static_assert(sizeof(void*) == 8, "these tests expect a 64-bit build");
  // A 64-bit process never runs under WOW64, yet the host is 64-bit.
  EXPECT_FALSE(TOSInfo::IsWow64());
  EXPECT_TRUE(Is64BitHost());
}
