#include "support/screens.h"

#include "c_api/screen.h"
#include "main_func/addresses.h"
#include "main_func/version.h"

std::string Banner() { return "Quillhaven\n==========\n\nLoading ...\n\n"; }

std::string DbReport(const std::string& version, const std::vector<std::string>& categories,
                     const std::string& missingDbIni) {
  std::string text = "Reading db ...\n";
  if (!missingDbIni.empty()) text += MissingFile(missingDbIni);
  text += "DB version " + version + "\n";
  for (const std::string& name : categories) text += " > " + name + "\n";
  return text;
}

std::string SelfCheckAllPresent() {
  return "\nChecking files ...\n"
         "  Updater ... [ OK ]\n"
         "  Qemu ... [ OK ]\n"
         "  KQemu ... [ OK ]\n"
         "  WGet ... [ OK ]\n";
}

std::string Startup(const std::string& dbReport) {
  return Banner() + dbReport + SelfCheckAllPresent();
}

std::string MainHeader() {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    text += LogoLines[i];
    if (i == 3) text += std::string(" v ") + ProgramVersion;
    text += "\n";
  }
  return text + "\n" + HomepageText + "\n\n";
}

std::string MainMenu(const std::vector<std::string>& categories) {
  std::string text = "\n  1) Boot virtual HDD\n\n";
  int number = 2;
  for (const std::string& name : categories) {
    text += "  " + std::to_string(number++) + ") " + name + "\n";
  }
  text += "\n";
  text += "  " + std::to_string(number++) + ") Options\n";
  text += "  " + std::to_string(number) + ") Help\n";
  text += "  0) Exit\n\n";
  return text + Prompt();
}

std::string MainScreen(const std::vector<std::string>& categories) {
  return MainHeader() + MainMenu(categories);
}

namespace {

std::string NumberedList(const std::vector<std::string>& entries) {
  std::string text;
  int number = 1;
  for (const std::string& entry : entries) {
    text += "  " + std::to_string(number++) + ") " + entry + "\n";
  }
  return text;
}

std::string BackToMainMenu() { return "\n  0) Main Menu\n\n" + Prompt(); }

}  // namespace

std::string CategoryScreen(const std::vector<std::string>& entries, bool offersOld) {
  std::string text = MainHeader() + "\n" + NumberedList(entries);
  if (offersOld) {
    text += "\n  " + std::to_string(entries.size() + 1) + ") Show previous versions\n";
  }
  return text + BackToMainMenu();
}

std::string PreviousVersionsScreen(const std::vector<std::string>& entries) {
  return MainHeader() + "\n" + NumberedList(entries) + BackToMainMenu();
}

std::string Header(const std::string& title) {
  std::string text;
  for (const char* line : LogoLines) text += std::string(line) + "\n";
  return text + "\n" + CenterText(title, 45) + "\n";
}

std::string OptionsLines() {
  return "\n  1) Virtual HDD setup\n  2) OS Database setup\n  3) Check for updates\n"
         "\n  4) Open homepage\n  5) Report a Bug\n\n  0) Exit\n\n" +
         Prompt();
}

std::string OptionsScreen() { return Header("OPTIONS") + OptionsLines(); }

std::string HddSetupLines() {
  return "\n  1) Add / Edit virtual HDD\n  2) Manage virtual HDD\n  3) Delete virtual HDD\n"
         "\n  0) Go to Options Menu\n\n" +
         Prompt();
}

std::string HddSetupScreen() { return Header("HDD SETUP") + HddSetupLines(); }

std::string DbSetupLines() {
  return "\n  1) Add OS\n  2) Edit OS\n  3) Delete OS\n\n  0) Go to Options Menu\n\n" + Prompt();
}

std::string DbSetupScreen() { return Header("DATABASE SETUP") + DbSetupLines(); }

namespace {

// The Own editor's fields in the order both screens ask for them; the two screens space
// some labels differently.
struct OwnField {
  const char* addLabel;
  const char* editLabel;
  const char* hint;
  const char* editPrompt;
};
const OwnField OwnFields[6] = {
    {" OS name:", " OS name: ", " Name of OS", " new OS name: "},
    {" OS version:", " OS version: ", " Version of OS", " new OS version: "},
    {" OS filename:", " OS filename:", " name of image (ubuntu0904.iso, ReactOS0310.img, ...) ",
     " new OS filename: "},
    {" OS download link: ", " OS download link: ", " full download link with http:// or ftp:// ",
     " new OS download link: "},
    {" OS type: ", " OS type:",
     " For cd/dvd image type `cdrom`, for hdd image type `hdd`, for fdd image type `fdd`",
     " new OS type: "},
    {" VGA card: ", " VGA card: ", " cirrus [default] / std / vmware", " new VGA card: "},
};

}  // namespace

std::string OwnAddScreen(int fields) {
  std::string text = Header("ADD OS") + "\n";
  for (int i = 0; i < fields; ++i) {
    text += std::string(OwnFields[i].addLabel) + "\n" + OwnFields[i].hint + "\n" + Prompt() +
            "\n";
  }
  return text;
}

std::string OwnEditScreen(const std::vector<std::string>& current, int fields) {
  std::string text = Header("EDIT OS") + "\n";
  for (int i = 0; i < fields; ++i) {
    text += OwnFields[i].editLabel + current[i] + "\n" + OwnFields[i].hint + "\n" +
            OwnFields[i].editPrompt + "\n";
  }
  return text;
}

std::string OwnFieldHint(int field) { return OwnFields[field].hint; }

std::string Prompt() { return " > "; }

std::string WrongChoice() { return "\n [Err] Wrong choice" + Prompt(); }

std::string OperationFailed() { return "\n Operation was not succesful\n Press <ENTER>\n"; }

std::string MissingFile(const std::string& nativePath) {
  return " * ERROR File " + nativePath + " not exists!\n";
}
