#include "main_func/text_helpers.h"

#include <gtest/gtest.h>

namespace {

// Only ASCII letters change case: the bytes of UTF-8 names stay as they are.
TEST(TextHelpers, CaseIsAsciiOnly) {
  EXPECT_EQ(Lower("Hdb.IMG \xC3\x84"), "hdb.img \xC3\x84");
  EXPECT_EQ(Upper("con$1\xC3\xA4"), "CON$1\xC3\xA4");
  EXPECT_TRUE(SameNoCase("Images", "iMAGES"));
  EXPECT_FALSE(SameNoCase("image", "images"));
}

TEST(TextHelpers, PrefixesAndSuffixesStayInsideTheText) {
  EXPECT_TRUE(StartsWithNoCase("x: WARNING: y", 3, "warning:"));
  EXPECT_FALSE(StartsWithNoCase("warn", 0, "warning:"));
  EXPECT_FALSE(StartsWithNoCase("abc", 4, "c"));
  EXPECT_TRUE(EndsWithNoCase("disk.DMG", ".dmg"));
  EXPECT_FALSE(EndsWithNoCase("mg", ".dmg"));
}

TEST(TextHelpers, TrimHexAndWords) {
  EXPECT_EQ(Trim(" \tkey \t"), "key");
  EXPECT_EQ(Trim("\r\n"), "\r\n");
  EXPECT_EQ(Trim(" ab\r\n", " \r\n"), "ab");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(HexDigit('7'), 7);
  EXPECT_EQ(HexDigit('F'), 15);
  EXPECT_EQ(HexDigit('g'), -1);
  EXPECT_TRUE(IsOneWord("cirrus"));
  EXPECT_FALSE(IsOneWord("std -x"));
  EXPECT_FALSE(IsOneWord("a\"b"));
}

}  // namespace
