// The main program's header and main menu.
#pragma once

void ShowMainHeader();
void MainMenu();
