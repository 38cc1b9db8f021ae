#include "db/layout.h"

#include "db/settings.h"

std::string ToolFile(const char* program) { return std::string(program) + ".exe"; }

std::string QemuErrorFile() { return AppDir + QemuFolder + "\\" + QemuErrorName; }

std::string CatalogueFile() { return AppDir + DbDir + "\\" + CatalogueName; }

std::string ImagesFolder() { return AppDir + ImagesDir; }

std::string ImagePath(const std::string& name) { return ImagesFolder() + "\\" + name; }

std::string DiskPath() { return ImagesDir + "\\" + DiskName; }

std::string ImageArgument(const std::string& imagesDir, const std::string& name) {
  return imagesDir + "\\\\" + name;
}

std::string ImagesTempFolder() { return ImagesFolder() + "\\temp"; }

std::string FromUpdaterFolder(const std::string& path) {
  const std::string folder = UpdaterFolder;
  return path.starts_with(folder) ? path.substr(folder.size()) : path;
}

std::string ImagesTempArgument(const std::string& imagesDir) { return imagesDir + "\\temp\\"; }
