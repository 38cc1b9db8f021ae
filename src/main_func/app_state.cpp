#include "main_func/app_state.h"

bool ExitRequested = false;
