// The options menu and its two sub-menus. The sub-menus lead back to the options menu;
// that circle is a loop here, so a long session never grows the stack.
#include "options/options_menu.h"

#include "c_api/console.h"
#include "c_api/screen.h"
#include "db/layout.h"
#include "db/settings.h"
#include "hdd/hdd_setup.h"
#include "main_func/addresses.h"
#include "main_func/app_state.h"
#include "main_func/choice.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "os/own_screens.h"

namespace {

// Shell results above this value mean success (ShellExecute's rule).
constexpr int ShellSuccessAbove = 32;

void HddSetupScreen() {
  ClearScreen();
  ShowHeader("HDD SETUP");
  WriteLine();
  WriteLine("  1) Add / Edit virtual HDD");
  WriteLine("  2) Manage virtual HDD");
  WriteLine("  3) Delete virtual HDD");
  WriteLine();
  WriteLine("  0) Go to Options Menu");
  WriteLine();
  switch (ReadChoice(3)) {
    case 1: CreateHdd(); break;
    case 2: RunPartitionManager(); break;
    case 3: DeleteHdd(); break;
    default: break;
  }
}

void DbSetupScreen() {
  ClearScreen();
  ShowHeader("DATABASE SETUP");
  WriteLine();
  WriteLine("  1) Add OS");
  WriteLine("  2) Edit OS");
  WriteLine("  3) Delete OS");
  WriteLine();
  WriteLine("  0) Go to Options Menu");
  WriteLine();
  switch (ReadChoice(3)) {
    case 1: AddOsScreen(); break;
    case 2: EditOsScreen(); break;
    case 3: DeleteOsScreen(); break;
    default: break;
  }
}

}  // namespace

void OptionsMenu() {
  for (;;) {
    ShowHeader("OPTIONS");
    WriteLine();
    WriteLine("  1) Virtual HDD setup");
    WriteLine("  2) OS Database setup");
    WriteLine("  3) Check for updates");
    WriteLine();
    WriteLine("  4) Open homepage");
    WriteLine("  5) Report a Bug");
    WriteLine();
    WriteLine("  0) Exit");
    WriteLine();
    switch (ReadChoice(5)) {
      case 1: HddSetupScreen(); continue;  // back to the options menu
      case 2: DbSetupScreen(); continue;
      case 3: StartUpdater(); return;
      case 4: OpenWebPage(HomepageUrl); return;
      case 5: OpenWebPage(BugReportUrl); return;
      default: return;
    }
  }
}

void HddSetupMenu() {
  HddSetupScreen();
  OptionsMenu();
}

void DbSetupMenu() {
  DbSetupScreen();
  OptionsMenu();
}

void OpenWebPage(const char* url) {
  if (ShellStart("open", url, "", "", ShowNormal) > ShellSuccessAbove) return;
  WriteLine();
  WriteLine(" * No web browser was found. Open this address yourself:");
  WriteLine(std::string(" ") + url);
  WriteLine();
  WriteText(" Press <Enter> to continue");
  WaitForEnter();
}

void StartUpdater() {
  ClearScreen();
  ShowHeader("UPDATER");
  WriteLine();
  WriteText(" Starting updater ... ");
  const std::string updater = AppDir + UpdaterProgram;
  // The shell would happily "open" a folder of that name and report success.
  const int result = FileExists(updater)
                         ? ShellStart("open", updater, "", AppDir + UpdaterFolder, ShowNormal)
                         : 0;
  if (result > ShellSuccessAbove) {
    WriteLine("[ OK ]");
    ExitRequested = true;
    return;
  }
  WriteLine("[ ERROR ]");
  WriteLine();
  WriteText(" Press <Enter> to continue");
  WaitForEnter();
}
