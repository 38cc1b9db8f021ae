#include "os/own_image.h"

#include <gtest/gtest.h>

TEST(OwnImage, OnlyBareNamesArePlain) {
  EXPECT_TRUE(IsPlainFileName("ubuntu0904.iso"));
  EXPECT_TRUE(IsPlainFileName("ReactOS 0.3.10.img"));
  EXPECT_FALSE(IsPlainFileName(""));
  EXPECT_FALSE(IsPlainFileName("."));
  EXPECT_FALSE(IsPlainFileName(".."));
  EXPECT_FALSE(IsPlainFileName("..\\db\\Own.ini"));
  EXPECT_FALSE(IsPlainFileName("../db/Own.ini"));
  EXPECT_FALSE(IsPlainFileName("sub\\a.iso"));
  EXPECT_FALSE(IsPlainFileName("sub/a.iso"));
  EXPECT_FALSE(IsPlainFileName("C:a.iso"));
  EXPECT_FALSE(IsPlainFileName("C:\\Windows\\a.iso"));
  EXPECT_FALSE(IsPlainFileName("/etc/passwd"));
  EXPECT_FALSE(IsPlainFileName("*.iso"));
}
