#include "db/category.h"

#include <algorithm>

#include "db/ini_document.h"
#include "db/settings.h"
#include "main_func/files.h"
#include "main_func/out.h"

namespace {

constexpr int Missing = -99;

bool InCatalogue(int category) {
  return category >= 1 && category <= CategoryCount && category <= MaxCategories;
}

// A category number outside the catalogue counts as a missing file, even when a file
// named ".ini" happens to lie in the database directory.
bool CategoryFileFound(int category, std::string& path) {
  path = CategoryFilePath(category);
  if (InCatalogue(category) && FileExists(path)) return true;
  WriteLine(" * ERROR File " + NativePath(path) + " not exists!");
  return false;
}

// Counts are cut to the size of an OsList, so that callers walking 1..count never index
// past the table and every listed entry can be chosen and read.
int ListCount(int count) { return std::min(count, MaxListEntries); }

void FillList(const IniDocument& doc, int count, const std::string& prefix, OsList& list) {
  for (int k = 1; k <= ListCount(count); ++k) {
    const std::string section = prefix + std::to_string(k);
    list[static_cast<std::size_t>(k)] =
        doc.ReadString(section, "name", "ERROR") + " " + doc.ReadString(section, "version", "ERROR");
  }
}

IniDocument LoadCategory(const std::string& path) {
  IniDocument doc;
  doc.Load(path);
  return doc;
}

}  // namespace

std::string CategoryFilePath(int category) {
  const std::string name = InCatalogue(category) ? CategoryNames[static_cast<std::size_t>(category)] : "";
  return AppDir + DbDir + "\\" + name + ".ini";
}

int GetOsCount(int category) {
  std::string path;
  if (!CategoryFileFound(category, path)) return Missing;
  return ListCount(LoadCategory(path).ReadInteger("main", "count", 0));
}

int GetOldCount(int category) {
  std::string path;
  if (!CategoryFileFound(category, path)) return Missing;
  return ListCount(LoadCategory(path).ReadInteger("main", "old_count", Missing));
}

void GetOsList(int category, OsList& list) {
  const int count = GetOsCount(category);
  std::string path;
  if (!CategoryFileFound(category, path)) {
    list[1] = "ERROR";
    return;
  }
  FillList(LoadCategory(path), count, "", list);
}

void GetOldOsList(int category, OsList& list) {
  const int count = GetOldCount(category);
  std::string path;
  if (!CategoryFileFound(category, path) || count < 1) {
    list[1] = "ERROR";
    return;
  }
  FillList(LoadCategory(path), count, "old", list);
}

int OwnCategoryIndex() {
  for (int i = 1; i <= std::min(CategoryCount, MaxCategories); ++i) {
    if (CategoryNames[static_cast<std::size_t>(i)] == "Own") return i;
  }
  return Missing;
}

void ReadOsEntry(int category, int entry, bool old, OsEntry& os) {
  std::string path;
  if (!CategoryFileFound(category, path)) {
    os.name = "ERROR";
    return;
  }
  const IniDocument doc = LoadCategory(path);
  os = OsEntryFromSection(doc, (old ? "old" : "") + std::to_string(entry));
}

OsEntry OsEntryFromSection(const IniDocument& doc, const std::string& section) {
  OsEntry os;
  os.name = doc.ReadString(section, "name", "ERROR");
  os.version = doc.ReadString(section, "version", "ERROR");
  os.download = doc.ReadString(section, "download", "ERROR");
  os.filename = doc.ReadString(section, "filename", "ERROR");
  os.ostype = doc.ReadString(section, "ostype", "ERROR");
  os.vga = doc.ReadString(section, "vga", "cirrus");
  os.sha256 = doc.ReadString(section, "sha256", "");
  os.checksums = doc.ReadString(section, "checksums", "");
  os.firmware = doc.ReadString(section, "firmware", "");
  return os;
}
