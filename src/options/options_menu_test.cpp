#include "options/options_menu.h"

#include <gtest/gtest.h>

#include "support/console_capture.h"

#include <cstdio>
#include <string>

#include "db/settings.h"
#include "main_func/app_state.h"
#include "main_func/input.h"
#include "main_func/out.h"

namespace {

const std::string OptionsLines =
    "\n  1) Virtual HDD setup\n  2) OS Database setup\n  3) Check for updates\n"
    "\n  4) Open homepage\n  5) Report a Bug\n\n  0) Exit\n\n > ";

TEST(OptionsMenuUnit, SubMenusFinishByShowingTheOptionsMenu) {
  {
    Console console("0\n0\n");
    HddSetupMenu();
    EXPECT_EQ(console.Output(),
              "\n  1) Add / Edit virtual HDD\n  2) Manage virtual HDD\n  3) Delete virtual HDD\n"
              "\n  0) Go to Options Menu\n\n > " + OptionsLines);
  }
  {
    Console console("0\n0\n");
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
  Console console("\n");
  StartUpdater();
  EXPECT_EQ(console.Output(),
            "\n Starting updater ... [ ERROR ]\n\n Press <Enter> to continue");
  EXPECT_FALSE(ExitRequested);
  ResetSettings();
}

}  // namespace
