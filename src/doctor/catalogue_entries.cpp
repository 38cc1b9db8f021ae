#include "doctor/catalogue_entries.h"

#include "db/ini_document.h"
#include "db/layout.h"
#include "db/settings.h"
#include "main_func/files.h"

namespace {

void ReadCategory(const std::string& path, const std::string& fileName,
                  std::vector<CatalogueEntry>& entries, std::vector<std::string>& problems) {
  IniDocument doc;
  if (!FileExists(path) || !doc.Load(path)) {
    problems.push_back(fileName + ": the category file is missing or unreadable");
    return;
  }
  const int count = doc.ReadInteger("main", "count", 0);
  const int oldCount = doc.ReadInteger("main", "old_count", 0);
  if (count < 0 || count > MaxListEntries || oldCount < -99 || oldCount > MaxListEntries) {
    problems.push_back(fileName + ": count or old_count outside 0..100");
    return;
  }
  for (int old = 0; old < 2; ++old) {
    const int n = old ? oldCount : count;
    for (int k = 1; k <= n; ++k) {
      const std::string section = (old ? "old" : "") + std::to_string(k);
      if (!doc.SectionExists(section)) {
        problems.push_back(fileName + " [" + section + "]: the section is missing");
        continue;
      }
      entries.push_back({path, fileName + " [" + section + "]", section,
                         OsEntryFromSection(doc, section), false});
    }
  }
}

}  // namespace

std::vector<CatalogueEntry> ReadCatalogue(const std::string& dbDir,
                                          std::vector<std::string>& problems) {
  std::vector<CatalogueEntry> entries;
  const std::string dbIni = dbDir + "\\" + CatalogueName;
  IniDocument db;
  if (!FileExists(dbIni) || !db.Load(dbIni)) {
    problems.push_back("db.ini: missing or unreadable");
    return entries;
  }
  const int categories = db.ReadInteger("categories", "count", 0);
  if (categories < 1 || categories > MaxCategories)
    problems.push_back("db.ini: [categories] count outside 1..8");
  for (int i = 1; i <= categories && i <= MaxCategories; ++i) {
    const std::string name = db.ReadString("categories", std::to_string(i), "");
    if (name.empty() || name.find_first_of("\\/:*?\"") != std::string::npos) {
      problems.push_back("db.ini: category " + std::to_string(i) + " has no plain name");
      continue;
    }
    ReadCategory(dbDir + "\\" + name + ".ini", name + ".ini", entries, problems);
  }
  if (db.SectionExists("hddmanager")) {
    OsEntry os = OsEntryFromSection(db, "hddmanager");
    // The partition manager is launched under a name and CD type of its own.
    os.name = "Partition manager";
    os.version = "";
    os.ostype = "cdrom";
    os.vga = "vmware";
    entries.push_back({dbIni, "db.ini [hddmanager]", "hddmanager", os, true});
  }
  return entries;
}
