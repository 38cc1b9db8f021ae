#include "db/own_store.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "db/ini_document.h"
#include "db/settings.h"

// Each writer changes an in-memory copy of Own.ini and saves it once, atomically: a failed
// write leaves the old file, never a half-made append or a half-closed gap.

std::string OwnFilePath() { return AppDir + DbDir + "\\Own.ini"; }

namespace {

void WriteEntry(IniDocument& doc, int entry, const std::string& name, const std::string& version,
                const std::string& download, const std::string& filename,
                const std::string& ostype, const std::string& vga, const std::string& sha256,
                const std::string& checksums, const std::string& firmware) {
  const std::string section = std::to_string(entry);
  doc.WriteString(section, "name", name);
  doc.WriteString(section, "version", version);
  doc.WriteString(section, "download", download);
  doc.WriteString(section, "filename", filename);
  doc.WriteString(section, "ostype", ostype);
  doc.WriteString(section, "vga", vga);
  if (!sha256.empty()) doc.WriteString(section, "sha256", sha256);
  if (!checksums.empty()) doc.WriteString(section, "checksums", checksums);
  if (!firmware.empty()) doc.WriteString(section, "firmware", firmware);
}

// The entry sections in from..to that are in the file, in increasing order, each once.
std::vector<long long> EntrySections(const IniDocument& doc, long long from, long long to) {
  std::vector<long long> numbers;
  for (const std::string& name : doc.SectionNames()) {
    if (name.empty() || name.size() > 10 || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const long long number = std::stoll(name);
    if (std::to_string(number) != name || number < from || number > to) continue;
    numbers.push_back(number);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

}  // namespace

void AppendOwnEntry(const std::string& name, const std::string& version,
                    const std::string& download, const std::string& filename,
                    const std::string& ostype, const std::string& vga,
                    const std::string& sha256, const std::string& checksums,
                    const std::string& firmware) {
  const std::string path = OwnFilePath();
  IniDocument doc;
  doc.Load(path);
  const int count = doc.ReadInteger("main", "count", 0);
  // A count that cannot grow any more gets its last entry replaced rather than overflow.
  const int entry = count < INT_MAX ? count + 1 : count;
  doc.WriteInteger("main", "count", entry);
  WriteEntry(doc, entry, name, version, download, filename, ostype, vga, sha256, checksums,
             firmware);
  doc.Save(path);
}

void DeleteOwnEntry(int entry) {
  const std::string path = OwnFilePath();
  IniDocument doc;
  doc.Load(path);
  const int count = doc.ReadInteger("main", "count", 0);
  if (entry < 1 || entry > count) return;

  // Every entry after the deleted one moves down by one: its section is erased and written
  // anew, key by key, at the end of the file. Only the sections that are there move; a
  // number without a section stays without one, so a hand-made count of two billion with a
  // far entry section neither runs for ever nor fills the disk with empty entries. All
  // moves are read first and made in one pass, so that thousands of entries take no longer
  // than reading the file.
  const std::vector<long long> moving = EntrySections(doc, entry + 1LL, count);
  std::vector<std::string> erased = {std::to_string(entry)};
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> moved;
  for (long long j : moving) {
    const std::string section = std::to_string(j);
    erased.push_back(section);
    moved.push_back({std::to_string(j - 1),
                     {{"name", doc.ReadString(section, "name", "ERROR")},
                      {"version", doc.ReadString(section, "version", "ERROR")},
                      {"download", doc.ReadString(section, "download", "ERROR")},
                      {"filename", doc.ReadString(section, "filename", "ERROR")},
                      {"ostype", doc.ReadString(section, "ostype", "ERROR")},
                      {"vga", doc.ReadString(section, "vga", "")}}});
    // A moved entry keeps the hash its image is checked against.
    const std::string sha256 = doc.ReadString(section, "sha256", "");
    if (!sha256.empty()) moved.back().second.push_back({"sha256", sha256});
    const std::string checksums = doc.ReadString(section, "checksums", "");
    if (!checksums.empty()) moved.back().second.push_back({"checksums", checksums});
    const std::string firmware = doc.ReadString(section, "firmware", "");
    if (!firmware.empty()) moved.back().second.push_back({"firmware", firmware});
  }
  doc.EraseSections(erased);
  for (const auto& [section, keys] : moved) doc.AppendSection(section, keys);
  doc.WriteInteger("main", "count", count - 1);
  doc.Save(path);
}
