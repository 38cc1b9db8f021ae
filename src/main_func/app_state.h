// State shared by the screens of the main program.
#pragma once

// Ends the main loop; set by the main menu's 0 and by a successful updater start.
extern bool ExitRequested;
