// The help menu with the user guide and the licence terms. The guide and the licence lead
// back to the help menu; that circle is a loop here, so a long session never grows the stack.
#include "help/help_menu.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "c_api/screen.h"
#include "db/settings.h"
#include "help/help_text.h"
#include "main_func/addresses.h"
#include "main_func/version.h"
#include "main_func/choice.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "options/options_menu.h"

namespace {

// The number MainMenu gives its Options entry: after "Boot virtual HDD" and the categories
// it shows, of which there are 0 to 8.
std::string WithOptionsNumber(std::string line) {
  const size_t at = line.find(OptionsNumberMark);
  if (at == std::string::npos) return line;
  const int number = std::clamp(CategoryCount, 0, MaxCategories) + 2;
  return line.replace(at, std::strlen(OptionsNumberMark), std::to_string(number));
}

void WriteLines(const TextLines& lines) {
  for (const char* line : lines) WriteLine(WithOptionsNumber(line));
}

void FinalPause() {
  WriteText("  Press <Enter> to continue ");
  WaitForEnter();
}

void HelpScreens() {
  ShowHeader("HELP");
  WriteLine();
  WriteLine(HelpIntroLine);
  WaitForEnter();  // the guide waits between its parts without a prompt
  WriteLines(HelpStartingOs);
  WaitForEnter();
  WriteLines(HelpVirtualHdd);
  WaitForEnter();
  WriteLines(HelpOptionsIni);
  FinalPause();
}

void LicenseScreen() {
  ShowHeader("LICENSE");
  WriteLines(LicenseLines);
  FinalPause();
}

}  // namespace

void HelpMenu() {
  for (;;) {
    ShowHeader("HELP");
    WriteLine(" Quillhaven");
    WriteLine(std::string(" version: ") + ProgramVersion + " - April 2010");
    WriteLine(" dbversion: " + DbVersion);
    WriteLine();
    WriteLine(CreditCreator);
    WriteLine(CreditContact);
    WriteLine();
    WriteLine("  1) Show Help");
    WriteLine("  2) Show License");
    WriteLine("  3) Open homepage");
    WriteLine("  0) Exit");
    WriteLine();
    // 4 is accepted without being listed and leaves like 0.
    switch (ReadChoice(4)) {
      case 1: HelpScreens(); continue;
      case 2: LicenseScreen(); continue;
      case 3: OpenWebPage(HomepageUrl); return;
      default: return;
    }
  }
}

void ShowHelp() {
  HelpScreens();
  HelpMenu();
}

void ShowLicense() {
  LicenseScreen();
  HelpMenu();
}
