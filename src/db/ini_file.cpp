#include "db/ini_file.h"

#include <utility>

#include "db/ini_document.h"
#include "main_func/files.h"

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + NativePath(path)), path(path) {}

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

namespace {

IniDocument Loaded(const std::string& path) {
  IniDocument doc;
  doc.Load(path);
  return doc;
}

}  // namespace

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  return Loaded(path_).ReadString(section, key, defaultValue);
}

int IniFile::ReadInteger(const std::string& section, const std::string& key,
                         int defaultValue) const {
  return Loaded(path_).ReadInteger(section, key, defaultValue);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key,
                       bool defaultValue) const {
  return Loaded(path_).ReadBool(section, key, defaultValue);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  IniDocument doc;
  doc.Load(path_);
  doc.WriteString(section, key, value);
  doc.Save(path_);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::EraseSection(const std::string& section) {
  IniDocument doc;
  // Nothing to write when the section is absent; an unreadable file still fails, since
  // the section may well be in it.
  if (!doc.Load(path_) || doc.EraseSection(section)) doc.Save(path_);
}
