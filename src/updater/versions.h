// The package numbers the updater compares: the installed ones from the local version
// files, the newest ones from the server's version file.
#pragma once
#include <string>

struct PackageVersion {
  int local = 1;
  int server = 1;
  std::string text = "1.0";  // the server's version text, shown to the user
  std::string sha256;        // the server's hash of package number server; "" checks none
  bool sha256Required = false;  // from a signed version file: without sha256, not installed
  bool Newer() const { return server > local; }
};

struct UpdateVersions {
  PackageVersion program;
  PackageVersion database;
  PackageVersion updater;
  PackageVersion tools;  // the 3rd party apps
};

// Reads the installed numbers of the installation in baseDir (ending in a separator) and
// returns the database folder named by its options.ini.
std::string ReadLocalVersions(const std::string& baseDir, UpdateVersions& versions);
// Reads the server's numbers and texts from the downloaded version file.
void ReadServerVersions(const std::string& verIniPath, UpdateVersions& versions);
