#include "help/help_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

size_t Count(const TextLines& lines) { return lines.size(); }

TEST(HelpText, GuideKeepsItsMeasuredLines) {
  EXPECT_EQ(std::string(HelpIntroLine).size(), 188u);
  // Lines 15 to 17 of the guide: the launch box, all three 44 characters wide.
  ASSERT_GE(Count(HelpStartingOs), 14u);
  for (size_t i = 11; i <= 13; ++i) {
    EXPECT_EQ(std::string(HelpStartingOs[i]).size(), 44u) << HelpStartingOs[i];
  }
  // Between the pauses: lines 4-27, 29-52 and 54-74 of the guide.
  EXPECT_EQ(Count(HelpStartingOs), 24u);
  EXPECT_EQ(Count(HelpVirtualHdd), 24u);
  EXPECT_EQ(Count(HelpOptionsIni), 21u);
  for (const TextLines* part : {&HelpStartingOs, &HelpVirtualHdd, &HelpOptionsIni}) {
    EXPECT_STREQ((*part)[0], "") << "every pause is followed by an empty line";
    EXPECT_STREQ((*part)[2], " ===============");
  }
  EXPECT_STREQ(HelpOptionsIni[17], "db=..\\..\\Data\\db");
}

TEST(HelpText, LicenceKeepsItsFixedLinesAndShape) {
  ASSERT_EQ(Count(LicenseLines), 15u);
  EXPECT_STREQ(LicenseLines[2], "");
  EXPECT_STREQ(LicenseLines[14], "");
  for (size_t i = 3; i <= 13; ++i) {
    const std::string line = LicenseLines[i];
    EXPECT_LE(line.size(), 80u) << line;
    EXPECT_TRUE(line.rfind(" > ", 0) == 0 || line.rfind("   ", 0) == 0) << line;
  }
  EXPECT_EQ(std::string(LicenseLines[10]).back(), ' ');
  EXPECT_NE(std::string(LicenseLines[9]).find("The Quillhaven developers"), std::string::npos);
  EXPECT_STREQ(LicenseLines[11], " > You must read licenses attached to third-party applications");
  EXPECT_STREQ(LicenseLines[12], "   that are distributed with this software.");
  EXPECT_STREQ(LicenseLines[13],
               " > Before downloading any os with this software you must read license of that os");
  EXPECT_EQ(std::string(LicenseLines[13]).size(), 80u);
  EXPECT_EQ(std::string(LicenseLines[0]).size(), std::string(LicenseLines[1]).size());
}

}  // namespace
