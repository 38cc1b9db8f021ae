// Placeholder until the options screens land.
#include "options/options_menu.h"
void OptionsMenu() {}
