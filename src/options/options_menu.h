// The options menu, its HDD and database sub-menus, and the hand-over to the updater.
#pragma once

void OptionsMenu();
void HddSetupMenu();
void DbSetupMenu();
void StartUpdater();
