#include "updater/func.h"

#include "main_func/addresses.h"
#include "main_func/version.h"
#include "main_func/out.h"

std::string UpdaterBaseDir;

void ShowUpdaterBanner() {
  WriteLine(std::string("Quillhaven updater v ") + UpdaterVersion);
  WriteLine(std::string("by the Quillhaven team - ") + HomepageText);
  WriteLine();
}
