// Category files: counts, display lists, previous versions and single OS entries.
#pragma once
#include <array>
#include <string>

constexpr int MaxListEntries = 100;

struct OsEntry {
  std::string name, version, download, filename, ostype, vga;
  // The optional key sha256 of the entry ("" when absent), checked against a downloaded
  // image; it rides along with the six strings, so code that knows only them is unchanged.
  std::string sha256{};
  // The optional key checksums: the link of the publisher's checksum list ("" when absent).
  std::string checksums{};
  // The optional key firmware: "bios" (also when absent, "") or "uefi"; RunOs refuses others.
  std::string firmware{};
};

// Slots 1..100 (slot 0 is unused); the caller creates it with empty strings.
using OsList = std::array<std::string, MaxListEntries + 1>;

// AppDir + DbDir + "\" + name + ".ini" of category i ("" name for a number out of range).
std::string CategoryFilePath(int category);
int GetOsCount(int category);
int GetOldCount(int category);
void GetOsList(int category, OsList& list);
void GetOldOsList(int category, OsList& list);
int OwnCategoryIndex();
void ReadOsEntry(int category, int entry, bool old, OsEntry& os);
// The entry in one section of a loaded category file, with the defaults of missing keys.
class IniDocument;
OsEntry OsEntryFromSection(const IniDocument& doc, const std::string& section);
