#include "updater/versions.h"

#include "db/ini_file.h"
#include "db/layout.h"
#include "main_func/files.h"
#include "trust/signed_release.h"

namespace {

// A version file is a few lines; one above the version file limit is not read into memory
// at all and gives the defaults, as a missing one does.
bool Readable(const std::string& path) { return FileSize64(path) <= MaxVersionFileSize; }

int LocalNumber(const std::string& path) {
  if (!Readable(path)) return 1;
  return IniFile(path).ReadInteger("version", "aver", 1);
}

void ReadServerSection(const IniFile& file, const std::string& section, PackageVersion& v) {
  v.server = file.ReadInteger(section, "aver", 1);
  v.text = file.ReadString(section, "version", "1.0");
  v.sha256 = file.ReadString(section, "sha256", "");
}

}  // namespace

std::string ReadLocalVersions(const std::string& baseDir, UpdateVersions& versions) {
  versions.program.local = LocalNumber(baseDir + VersionFileName);
  std::string dbDir = IniFile(baseDir + "options.ini").ReadString("paths", "db", "db");
  versions.database.local = LocalNumber(baseDir + dbDir + "\\" + CatalogueName);
  versions.updater.local = LocalNumber(baseDir + UpdaterVersionFile);
  versions.tools.local = LocalNumber(baseDir + ToolsVersionFile);
  return dbDir;
}

void ReadServerVersions(const std::string& verIniPath, UpdateVersions& versions) {
  if (!Readable(verIniPath)) return;
  const IniFile file(verIniPath);
  ReadServerSection(file, "version", versions.program);
  ReadServerSection(file, "db", versions.database);
  ReadServerSection(file, "updater", versions.updater);
  ReadServerSection(file, "3rdapps", versions.tools);
}
