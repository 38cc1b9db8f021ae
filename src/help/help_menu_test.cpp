#include "help/help_menu.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "db/settings.h"
#include "help/help_text.h"
#include "main_func/input.h"
#include "main_func/out.h"

namespace {

// Answers from a text, screen lines into a temporary file (the logo header goes straight to
// standard output and is not compared here).
class HelpConsole {
 public:
  explicit HelpConsole(const std::string& input) : out_(std::tmpfile()), in_(std::tmpfile()) {
    std::fwrite(input.data(), 1, input.size(), in_);
    std::rewind(in_);
    SetOutputStream(out_);
    SetInputStream(in_);
  }
  ~HelpConsole() {
    SetOutputStream(nullptr);
    SetInputStream(nullptr);
    std::fclose(out_);
    std::fclose(in_);
  }
  std::string Output() const {
    std::fflush(out_);
    std::rewind(out_);
    std::string data;
    for (int c = std::fgetc(out_); c != EOF; c = std::fgetc(out_)) data += static_cast<char>(c);
    return data;
  }

 private:
  std::FILE* out_;
  std::FILE* in_;
};

std::string Join(const TextLines& lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\n";
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
  HelpConsole console("\n0\n");
  ShowLicense();
  EXPECT_EQ(console.Output(), Join(LicenseLines) + "  Press <Enter> to continue " + HelpMenuLines());
}

TEST_F(HelpMenuUnit, GuideWaitsBetweenItsPartsAndEndsInTheHelpMenu) {
  // With a wait missing, the help menu would read a letter and refuse it.
  HelpConsole console("a\nb\nc\nd\n0\n");
  ShowHelp();
  EXPECT_EQ(console.Output(), "\n" + std::string(HelpIntroLine) + "\n" + Join(HelpStartingOs) +
                                  Join(HelpVirtualHdd) + Join(HelpOptionsIni) +
                                  "  Press <Enter> to continue " + HelpMenuLines());
}

TEST_F(HelpMenuUnit, MenuLoopsThroughItsScreensUntilLeft) {
  HelpConsole console("2\n\n2\n\n4\n");
  HelpMenu();
  const std::string licence = Join(LicenseLines) + "  Press <Enter> to continue ";
  EXPECT_EQ(console.Output(), HelpMenuLines() + licence + HelpMenuLines() + licence +
                                  HelpMenuLines());
}

}  // namespace
