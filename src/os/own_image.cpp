// Removing an Own entry's image, confined to the images folder.
#include "os/own_image.h"

#include "db/settings.h"
#include "main_func/files.h"

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == ".") return false;
  if (name.find("..") != std::string::npos) return false;
  return name.find_first_of("/\\:*?") == std::string::npos;
}

std::string OwnImagePath(const std::string& filename) {
  return AppDir + ImagesDir + "\\" + filename;
}

ImageRemoval RemoveOwnImage(const std::string& filename) {
  if (filename.empty()) return ImageRemoval::Absent;  // an entry without an image
  if (!IsPlainFileName(filename)) return ImageRemoval::Failed;
  const std::string path = OwnImagePath(filename);
  if (!FileExists(path)) return ImageRemoval::Absent;
  return RemoveFile(path) ? ImageRemoval::Removed : ImageRemoval::Failed;
}
