// Placeholder until the help screens land.
#include "help/help_menu.h"
void HelpMenu() {}
