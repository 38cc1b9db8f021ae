#include "c_api/screen.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CenterText, PadsToTheWidthWithTheExtraBlankOnTheRightSide) {
  EXPECT_EQ(CenterText("HELP", 45), std::string(21, ' ') + "HELP" + std::string(20, ' '));
  EXPECT_EQ(CenterText("OPTIONS", 45), std::string(19, ' ') + "OPTIONS" + std::string(19, ' '));
  EXPECT_EQ(CenterText("abc", 40), std::string(18, ' ') + "abc" + std::string(19, ' '));
  EXPECT_EQ(CenterText("", 45), std::string(45, ' '));
  EXPECT_EQ(CenterText("Boot from HDD ", 40),
            std::string(13, ' ') + "Boot from HDD " + std::string(13, ' '));
}

TEST(CenterText, NeverCutsALongerText) {
  const std::string long46(46, 'x');
  EXPECT_EQ(CenterText(long46, 45), long46);
  EXPECT_EQ(CenterText(std::string(60, 'y'), 40), std::string(60, 'y'));
}

TEST(LogoLines, HaveTheFixedWidthsAndOnlyLineArtCharacters) {
  const size_t widths[4] = {44, 45, 45, 45};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(std::strlen(LogoLines[i]), widths[i]) << "line " << i;
    for (const char* p = LogoLines[i]; *p; ++p)
      EXPECT_NE(std::strchr("_|/\\` ", *p), nullptr) << "line " << i << " char " << *p;
  }
}
