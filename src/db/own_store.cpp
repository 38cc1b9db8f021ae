#include "db/own_store.h"

#include <algorithm>
#include <climits>

#include "db/ini_document.h"
#include "db/settings.h"

// Each writer changes an in-memory copy of Own.ini and saves it once, atomically: a failed
// write leaves the old file, never a half-made append or a half-closed gap.

std::string OwnFilePath() { return AppDir + DbDir + "\\Own.ini"; }

namespace {

void WriteEntry(IniDocument& doc, int entry, const std::string& name, const std::string& version,
                const std::string& download, const std::string& filename,
                const std::string& ostype, const std::string& vga) {
  const std::string section = std::to_string(entry);
  doc.WriteString(section, "name", name);
  doc.WriteString(section, "version", version);
  doc.WriteString(section, "download", download);
  doc.WriteString(section, "filename", filename);
  doc.WriteString(section, "ostype", ostype);
  doc.WriteString(section, "vga", vga);
}

// The highest entry section in from..to that exists, or from - 1.
long long LastEntrySection(const IniDocument& doc, long long from, long long to) {
  long long last = from - 1;
  for (const std::string& name : doc.SectionNames()) {
    if (name.empty() || name.size() > 10 || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const long long number = std::stoll(name);
    if (std::to_string(number) != name || number < from || number > to) continue;
    last = std::max(last, number);
  }
  return last;
}

}  // namespace

void AppendOwnEntry(const std::string& name, const std::string& version,
                    const std::string& download, const std::string& filename,
                    const std::string& ostype, const std::string& vga) {
  const std::string path = OwnFilePath();
  IniDocument doc;
  doc.Load(path);
  const int count = doc.ReadInteger("main", "count", 0);
  // A count that cannot grow any more gets its last entry replaced rather than overflow.
  const int entry = count < INT_MAX ? count + 1 : count;
  doc.WriteInteger("main", "count", entry);
  WriteEntry(doc, entry, name, version, download, filename, ostype, vga);
  doc.Save(path);
}

void DeleteOwnEntry(int entry) {
  const std::string path = OwnFilePath();
  IniDocument doc;
  doc.Load(path);
  const int count = doc.ReadInteger("main", "count", 0);
  if (entry < 1 || entry > count) return;

  doc.EraseSection(std::to_string(entry));
  // Sections beyond the last one present would only be rewritten as entries of "ERROR"
  // values, which read back the same as no section at all; stopping there keeps a hand-made
  // huge count from running for ever and filling the disk.
  const long long last = LastEntrySection(doc, entry + 1LL, count);
  for (long long j = entry + 1LL; j <= last; ++j) {
    const std::string section = std::to_string(j);
    const std::string name = doc.ReadString(section, "name", "ERROR");
    const std::string version = doc.ReadString(section, "version", "ERROR");
    const std::string download = doc.ReadString(section, "download", "ERROR");
    const std::string filename = doc.ReadString(section, "filename", "ERROR");
    const std::string ostype = doc.ReadString(section, "ostype", "ERROR");
    const std::string vga = doc.ReadString(section, "vga", "");
    doc.EraseSection(section);
    WriteEntry(doc, static_cast<int>(j - 1), name, version, download, filename, ostype, vga);
  }
  doc.WriteInteger("main", "count", count - 1);
  doc.Save(path);
}
