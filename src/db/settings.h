// Global settings and the catalogue, read once at start-up from options.ini and db.ini.
#pragma once
#include <array>
#include <string>

constexpr int MaxCategories = 8;

extern std::string AppDir;      // the program's directory, ending in a separator
extern std::string DbDir;       // relative to AppDir
extern std::string ImagesDir;   // relative to AppDir
extern bool DisableKqemu;
extern bool DisableRamCheck;
extern std::string DbVersion;
extern int CategoryCount;       // as read; 0 or less means no categories
extern std::array<std::string, MaxCategories + 1> CategoryNames;  // slots 1..8

// Resets every global to its start value (used by tests).
void ResetSettings();
void ReadDatabase();
// ReadDatabase for a given program directory (ending in a separator) instead of the
// executable's own; lets tests read a fixture installation.
void ReadDatabaseAt(const std::string& appDir);
