// The entries of a catalogue folder as the doctor walks them: every category file that
// db.ini lists, current and previous versions, and the partition manager of [hddmanager].
#pragma once
#include <string>
#include <vector>

#include "db/category.h"

struct CatalogueEntry {
  std::string file;     // the INI file's path
  std::string label;    // "Linux.ini [3]", "db.ini [hddmanager]"
  std::string section;  // "3", "old2", "hddmanager"
  OsEntry os;
  bool hddManager = false;
};

// Reads every entry. Problems of the folder itself (no db.ini, a listed category without
// its file) are returned as lines in problems; the entries that can be read are still read.
std::vector<CatalogueEntry> ReadCatalogue(const std::string& dbDir,
                                          std::vector<std::string>& problems);
