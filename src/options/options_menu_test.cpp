#include "options/options_menu.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "db/settings.h"
#include "main_func/app_state.h"
#include "main_func/input.h"
#include "main_func/out.h"

namespace {

// Menu answers from a text, screen lines into a temporary file (the logo header goes
// straight to standard output and is not part of what is compared here).
class MenuConsole {
 public:
  explicit MenuConsole(const std::string& input) : out_(std::tmpfile()), in_(std::tmpfile()) {
    std::fwrite(input.data(), 1, input.size(), in_);
    std::rewind(in_);
    SetOutputStream(out_);
    SetInputStream(in_);
  }
  ~MenuConsole() {
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

const std::string OptionsLines =
    "\n  1) Virtual HDD setup\n  2) OS Database setup\n  3) Check for updates\n"
    "\n  4) Open homepage\n  5) Report a Bug\n\n  0) Exit\n\n > ";

TEST(OptionsMenuUnit, SubMenusFinishByShowingTheOptionsMenu) {
  {
    MenuConsole console("0\n0\n");
    HddSetupMenu();
    EXPECT_EQ(console.Output(),
              "\n  1) Add / Edit virtual HDD\n  2) Manage virtual HDD\n  3) Delete virtual HDD\n"
              "\n  0) Go to Options Menu\n\n > " + OptionsLines);
  }
  {
    MenuConsole console("0\n0\n");
    DbSetupMenu();
    EXPECT_EQ(console.Output(),
              "\n  1) Add OS\n  2) Edit OS\n  3) Delete OS\n\n  0) Go to Options Menu\n\n > " +
                  OptionsLines);
  }
}

TEST(OptionsMenuUnit, UpdaterThatCannotStartLeavesTheProgramRunning) {
  ResetSettings();
  AppDir = "qh-no-such-folder\\";
  ExitRequested = false;
  MenuConsole console("\n");
  StartUpdater();
  EXPECT_EQ(console.Output(),
            "\n Starting updater ... [ ERROR ]\n\n Press <Enter> to continue");
  EXPECT_FALSE(ExitRequested);
  ResetSettings();
}

}  // namespace
