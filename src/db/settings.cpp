#include "db/settings.h"

#include <algorithm>

#include "db/ini_file.h"
#include "db/layout.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"

std::string AppDir;
std::string DbDir;
std::string ImagesDir;
bool DisableKqemu = false;
bool DisableRamCheck = false;
std::string DbVersion;
int CategoryCount = 0;
std::array<std::string, MaxCategories + 1> CategoryNames;

void ResetSettings() {
  AppDir.clear();
  DbDir.clear();
  ImagesDir.clear();
  DisableKqemu = false;
  DisableRamCheck = false;
  DbVersion.clear();
  CategoryCount = 0;
  CategoryNames.fill(std::string());
}

void ReadDatabase() { ReadDatabaseAt(ExeDir()); }

void ReadDatabaseAt(const std::string& appDir) {
  WriteLine("Reading db ...");
  AppDir = appDir;

  const IniFile options(AppDir + "options.ini");
  DbDir = options.ReadString("paths", "db", "db");
  ImagesDir = options.ReadString("paths", "images", "images");
  DisableKqemu = options.ReadBool("options", "disablekqemu", false);
  DisableRamCheck = options.ReadBool("options", "disableramcheck", false);

  const std::string dbPath = CatalogueFile();
  if (!FileExists(dbPath)) {
    WriteLine(" * ERROR File " + NativePath(dbPath) + " not exists!");
    WaitForEnter();
  }

  const IniFile db(dbPath);
  DbVersion = db.ReadString("version", "version", "0");
  WriteLine("DB version " + DbVersion);

  // Only 8 names fit the table: a larger count is cut to 8 here, so that every caller that
  // walks 1..CategoryCount stays inside CategoryNames.
  CategoryCount = std::min(db.ReadInteger("categories", "count", 0), MaxCategories);
  for (int i = 1; i <= CategoryCount; ++i) {
    std::string name = db.ReadString("categories", std::to_string(i), "");
    if (name.empty()) continue;
    CategoryNames[static_cast<std::size_t>(i)] = name;
    WriteLine(" > " + name);
  }
}
