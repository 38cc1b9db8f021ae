// Expected screen texts of the main program, built from the same pieces the screens draw,
// so that whole-program tests state only what their case changes. Each returns text with
// "\n" line ends; a menu ends with its prompt " > " and no line end, which is how a
// redirected run shows it (the answer is not echoed, so the next output follows the prompt).
#pragma once
#include <string>
#include <vector>

// The loading banner: "Quillhaven", "==========", "", "Loading ...", "".
std::string Banner();
// The report of the settings and catalogue reader. missingDbIni is the native path shown in
// the error line when db.ini is missing ("" when it is present).
std::string DbReport(const std::string& version, const std::vector<std::string>& categories,
                     const std::string& missingDbIni = "");
// The self-check of a complete installation: every tool present, no pause.
std::string SelfCheckAllPresent();
// Everything a complete installation prints before the first main header, given the
// catalogue report: banner, report, self-check.
std::string Startup(const std::string& dbReport);
// The logo with the program version, an empty line, the homepage line and an empty line.
std::string MainHeader();
// The main menu block below the header, ending in the prompt.
std::string MainMenu(const std::vector<std::string>& categories);
// Header and menu, as every pass of the main loop draws them.
std::string MainScreen(const std::vector<std::string>& categories);
// A category's OS list below a fresh main header; offersOld adds "Show previous versions".
std::string CategoryScreen(const std::vector<std::string>& entries, bool offersOld);
// The previous-versions list below a fresh main header.
std::string PreviousVersionsScreen(const std::vector<std::string>& entries);
// The logo, an empty line and the centred title: the top of every screen below the main one.
std::string Header(const std::string& title);
// The options menu below its header, ending in the prompt; OptionsScreen adds the header.
std::string OptionsLines();
std::string OptionsScreen();
// The HDD SETUP and DATABASE SETUP sub-menus, the same way.
std::string HddSetupLines();
std::string HddSetupScreen();
std::string DbSetupLines();
std::string DbSetupScreen();
// The Own editor's ADD OS screen up to and including the empty line after its first
// `fields` fields (all six by default); the inputs are not echoed in a redirected run.
std::string OwnAddScreen(int fields = 6);
// The EDIT OS screen the same way, each field showing its current value (name, version,
// filename, download link, OS type, VGA card).
std::string OwnEditScreen(const std::vector<std::string>& current, int fields = 6);
// The hint line under field `field` (0 the name ... 5 the VGA card) of both screens.
std::string OwnFieldHint(int field);
// The prompt of every menu.
std::string Prompt();
// What a refused answer adds after a prompt: the error and the new prompt.
std::string WrongChoice();
// The operation-failed pause (the Enter it waits for is not echoed).
std::string OperationFailed();
// The report of a file that is missing, with its native path.
std::string MissingFile(const std::string& nativePath);
