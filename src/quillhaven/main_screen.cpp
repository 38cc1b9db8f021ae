#include "quillhaven/main_screen.h"

#include <algorithm>
#include <string>

#include "c_api/console.h"
#include "c_api/screen.h"
#include "db/category.h"
#include "db/settings.h"
#include "hdd/boot_hdd.h"
#include "help/help_menu.h"
#include "main_func/addresses.h"
#include "main_func/version.h"
#include "main_func/app_state.h"
#include "main_func/choice.h"
#include "main_func/out.h"
#include "options/options_menu.h"
#include "os/open_os.h"

namespace {

std::string Entry(int number, const std::string& text) {
  return "  " + std::to_string(number) + ") " + text;
}

// Counts read from the catalogue are kept within the tables: a negative count lists
// nothing, and no list is longer than its 100 slots.
int ListCount(int count) { return std::clamp(count, 0, MaxListEntries); }

void PreviousVersionsScreen(int category, int oldCount) {
  ShowMainHeader();
  WriteLine();
  OsList list;
  GetOldOsList(category, list);
  if (list[1] == "ERROR") {
    ShowOperationFailed();
    return;
  }
  for (int i = 1; i <= oldCount; ++i) WriteLine(Entry(i, list[i]));
  WriteLine();
  WriteLine("  0) Main Menu");
  WriteLine();
  const int answer = ReadChoice(oldCount);
  if (answer != 0) OpenOs(category, answer, true);
}

void CategoryScreen(int category) {
  ShowMainHeader();
  WriteLine();
  // The list first: a missing file is then reported by the list reader's two lines only,
  // and the count is read from a file known to exist.
  OsList list;
  GetOsList(category, list);
  if (list[1] == "ERROR") {
    ShowOperationFailed();
    return;
  }
  const int count = ListCount(GetOsCount(category));
  for (int i = 1; i <= count; ++i) WriteLine(Entry(i, list[i]));
  const int oldCount = GetOldCount(category);
  int highest = count;
  if (oldCount != NoneMarker) {
    WriteLine();
    WriteLine(Entry(count + 1, "Show previous versions"));
    highest = count + 1;
  }
  WriteLine();
  WriteLine("  0) Main Menu");
  WriteLine();
  const int answer = ReadChoice(highest);
  if (answer == 0) return;
  if (oldCount != NoneMarker && answer == count + 1) {
    PreviousVersionsScreen(category, ListCount(oldCount));
    return;
  }
  OpenOs(category, answer, false);
}

}  // namespace

void ShowMainHeader() {
  ClearScreen();
  for (int i = 0; i < 3; ++i) WriteLine(LogoLines[i]);
  WriteLine(std::string(LogoLines[3]) + " v " + ProgramVersion);
  WriteLine();
  WriteLine(HomepageText);
  WriteLine();
}

void MainMenu() {
  // A catalogue count of 0 or less means no categories; above 8 only the table's slots exist.
  const int n = std::clamp(CategoryCount, 0, MaxCategories);
  WriteLine();
  WriteLine("  1) Boot virtual HDD");
  WriteLine();
  for (int i = 1; i <= n; ++i) WriteLine(Entry(i + 1, CategoryNames[i]));
  WriteLine();
  WriteLine(Entry(n + 2, "Options"));
  WriteLine(Entry(n + 3, "Help"));
  WriteLine("  0) Exit");
  WriteLine();
  const int answer = ReadChoice(n + 3);
  if (answer == 0) ExitRequested = true;
  if (ExitRequested) return;
  if (answer == 1) {
    BootHdd();
  } else if (answer == n + 2) {
    OptionsMenu();
  } else if (answer == n + 3) {
    HelpMenu();
  } else {
    CategoryScreen(answer - 1);
  }
}
