// The updater's common routines: its banner and the main directory it works on. The
// process runner and the directory removal are the main program's own (main_func), so
// that both programs start tools and remove folders in exactly the same way.
#pragma once
#include <string>

#include "main_func/files.h"
#include "main_func/process.h"

// The updater's folder with its trailing separator, followed by "..\": the main directory.
extern std::string UpdaterBaseDir;

void ShowUpdaterBanner();
