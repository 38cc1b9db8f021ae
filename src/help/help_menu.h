// Help, licence and about screens.
#pragma once

void HelpMenu();
void ShowHelp();
void ShowLicense();
