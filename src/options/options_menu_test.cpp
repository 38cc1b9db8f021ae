#include "options/options_menu.h"

#include <gtest/gtest.h>

#include "support/console_capture.h"
#include "support/screens.h"

#include <cstdio>
#include <string>

#include "db/settings.h"
#include "main_func/app_state.h"
#include "main_func/input.h"
#include "main_func/out.h"

namespace {

TEST(OptionsMenuUnit, SubMenusFinishByShowingTheOptionsMenu) {
  {
    Console console("0\n0\n");
    HddSetupMenu();
    EXPECT_EQ(console.Output(), HddSetupLines() + OptionsLines());
  }
  {
    Console console("0\n0\n");
    DbSetupMenu();
    EXPECT_EQ(console.Output(), DbSetupLines() + OptionsLines());
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
