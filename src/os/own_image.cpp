// Removing an Own entry's image, confined to the images folder.
#include "os/own_image.h"

#include <vector>

#include "db/category.h"
#include "db/entry_values.h"
#include "db/ini_document.h"
#include "db/layout.h"
#include "db/own_store.h"
#include "db/settings.h"
#include "main_func/files.h"
#include "main_func/text_helpers.h"

ImageRemoval RemoveOwnImage(const std::string& filename) {
  if (filename.empty()) return ImageRemoval::Absent;  // an entry without an image
  if (!IsPlainFileName(filename)) return ImageRemoval::Failed;
  const std::string path = ImagePath(filename);
  if (!FileExists(path)) return ImageRemoval::Absent;
  // The user asked for it: a read-only image goes as well, as it does on Linux.
  return RemoveFileAnyway(path) ? ImageRemoval::Removed : ImageRemoval::Failed;
}

namespace {

// The name of an entry of the file at path, or of its section, that names the image; ""
// when none does.
std::string EntryNaming(const std::string& path, const std::string& image, bool& found) {
  found = false;
  IniDocument doc;
  if (!FileExists(path) || !doc.Load(path)) return "";
  for (const std::string& section : doc.SectionNames()) {
    if (Lower(doc.ReadString(section, "filename", "")) != image) continue;
    found = true;
    return doc.ReadString(section, "name", section);
  }
  return "";
}

}  // namespace

std::string ImageKeptReason(const std::string& filename) {
  // Image names are compared as Windows compares file names, without regard to letter case.
  const std::string image = Lower(filename);
  if (image.empty()) return "";
  if (image == DiskName) return "it is the virtual HDD";
  bool found = false;
  std::string dbIni = CatalogueFile();
  IniDocument db;
  if (FileExists(dbIni) && db.Load(dbIni) &&
      Lower(db.ReadString("hddmanager", "filename", "")) == image)
    return "it is the partition manager's image";
  std::vector<std::string> files = {OwnFilePath()};
  for (int i = 1; i <= CategoryCount && i <= static_cast<int>(CategoryNames.size()) - 1; ++i)
    files.push_back(CategoryFilePath(i));
  for (const std::string& path : files) {
    const std::string name = EntryNaming(path, image, found);
    if (found) return "\"" + name + "\" uses it too";
  }
  return "";
}
