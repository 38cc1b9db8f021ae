#include "help/help_menu.h"

#include <gtest/gtest.h>

#include "support/console_capture.h"

#include <cstdio>
#include <string>

#include "db/settings.h"
#include "help/help_text.h"
#include "main_func/input.h"
#include "main_func/out.h"

namespace {

std::string Join(const TextLines& lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\n";
  return text;
}

// The lines with the main menu's number of Options in place of its mark.
std::string JoinWithOptions(const TextLines& lines, const std::string& number) {
  std::string text = Join(lines);
  for (size_t at = text.find(OptionsNumberMark); at != std::string::npos;
       at = text.find(OptionsNumberMark, at)) {
    text.replace(at, std::string(OptionsNumberMark).size(), number);
  }
  return text;
}

std::string HelpMenuLines() {
  return " Quillhaven\n version: 1.4.1 - April 2010\n dbversion: 3.2\n\n" +
         std::string(CreditCreator) + "\n" + CreditContact +
         "\n\n  1) Show Help\n  2) Show License\n  3) Open homepage\n  0) Exit\n\n > ";
}

class HelpMenuUnit : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    DbVersion = "3.2";
  }
  void TearDown() override { ResetSettings(); }
};

TEST_F(HelpMenuUnit, LicenceEndsInTheHelpMenu) {
  Console console("\n0\n");
  ShowLicense();
  EXPECT_EQ(console.Output(), Join(LicenseLines) + "  Press <Enter> to continue " + HelpMenuLines());
}

TEST_F(HelpMenuUnit, GuideWaitsBetweenItsPartsAndEndsInTheHelpMenu) {
  // With a wait missing, the help menu would read a letter and refuse it.
  Console console("a\nb\nc\nd\n0\n");
  ShowHelp();
  // No categories: Options is the main menu's entry 2.
  EXPECT_EQ(console.Output(), "\n" + std::string(HelpIntroLine) + "\n" + Join(HelpStartingOs) +
                                  JoinWithOptions(HelpVirtualHdd, "2") + Join(HelpOptionsIni) +
                                  "  Press <Enter> to continue " + HelpMenuLines());
}

TEST_F(HelpMenuUnit, MenuLoopsThroughItsScreensUntilLeft) {
  Console console("2\n\n2\n\n4\n");
  HelpMenu();
  const std::string licence = Join(LicenseLines) + "  Press <Enter> to continue ";
  EXPECT_EQ(console.Output(), HelpMenuLines() + licence + HelpMenuLines() + licence +
                                  HelpMenuLines());
}

}  // namespace
