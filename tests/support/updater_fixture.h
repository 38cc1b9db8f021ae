// Helpers for the tests of the start-up self-check, the updater and the self-update helper:
// tool log lines, a complete set of fake tools, a fake update server, and runs of the
// updater in its own folder.
#pragma once
#include <map>
#include <string>

#include "support/fixture.h"

// A line of the fake tools' log: the tool, a TAB and its arguments. On POSIX the platform
// layer hands backslashes over as slashes, so they are compared that way there.
std::string ToolCall(const std::string& tool, const std::string& args);

// "updater\updater.exe" on Windows, "updater\updater" elsewhere: the installed updater.
std::string UpdaterFile();
// Installs the real updater (and, with helper, the real self-update helper as
// "updater\upt.exe") into the fixture.
void InstallUpdater(const Fixture& fx, bool helper);

// The fake update server: a folder beside the installation whose absolute path, written
// with slashes and ending in "/", stands in for the server's address. options.ini names it
// as the update server, and the fake wget copies "server address + path" into its -P folder,
// so a file missing from the folder behaves like a file the server does not have.
std::string FakeServer(const Fixture& fx);
// Writes options.ini (with extra lines after the [update] section) and installs the fake wget.
void UseFakeServer(const Fixture& fx, const std::string& extraOptions = "");
// Writes a file of the fake server ("upt/prg/3.zip").
void ServerFile(const Fixture& fx, const std::string& path, const std::string& text);

// Runs the updater with the updater folder as its working directory, as the main program
// starts it.
RunResult RunUpdater(const Fixture& fx, const std::string& stdinText);
// Waits until a file of the installation exists and is not empty (programs started
// through the shell run on their own on Windows); false after the time limit.
bool WaitForFile(const Fixture& fx, const std::string& relPath, int seconds = 60);
// A fake main program that records that it was started, and in which folder.
void InstallFakeMainProgram(const Fixture& fx);
// The marker it leaves: "started" and its arguments, one line a start.
std::string MainProgramMarker(const Fixture& fx);

// Every file below a folder of the installation ("" for all of it), by its path relative to
// that folder with slashes, with its contents; for comparing trees before and after a run.
// The update lock's empty file is left out.
std::map<std::string, std::string> TreeSnapshot(const Fixture& fx, const std::string& relDir = "");
