// The options menu, its HDD and database sub-menus, and the hand-over to the updater.
#pragma once

void OptionsMenu();
void HddSetupMenu();
void DbSetupMenu();
void StartUpdater();
// Opens a web address in the user's browser; when none is found, says so and shows the
// address, with a pause.
void OpenWebPage(const char* url);
