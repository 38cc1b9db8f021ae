// Adds the "Demo" category to an installation's catalogue: demo_catalogue DB_DIR
// Writes DB_DIR/Demo.ini with the demo OS and puts Demo first in db.ini's [categories],
// moving the others down one number, through the program's own INI access, so the files
// read exactly as the program reads them. Nothing changes in db.ini when Demo is listed.
// With --uefi it also adds the UEFI demo OS to Own.ini, as the user's own entry would be,
// unless an entry there already names its image.
#include <cstdio>
#include <string>
#include <vector>

#include "db/ini_file.h"
#include "main_func/files.h"

namespace {
constexpr int MaxCategories = 8;  // the slots of the main menu
}

// The UEFI demo as an Own entry, appended after the user's entries.
void AddUefiDemo(const std::string& db) {
  IniFile own(db + "Own.ini");
  const int count = own.ReadInteger("main", "count", 0);
  for (int i = 1; i <= count; ++i)
    if (own.ReadString(std::to_string(i), "filename", "") == "demo-uefi.img") return;
  const std::string section = std::to_string(count + 1);
  for (const auto& [key, value] :
       std::vector<std::pair<std::string, std::string>>{{"name", "Quillhaven UEFI Demo"},
                                                        {"version", "1.0"},
                                                        {"download", ""},
                                                        {"filename", "demo-uefi.img"},
                                                        {"ostype", "hdd"},
                                                        {"vga", "std"},
                                                        {"firmware", "uefi"}})
    own.WriteString(section, key, value);
  own.WriteInteger("main", "count", count + 1);
}

int main(int argc, char** argv) {
  const bool uefi = argc == 3 && std::string(argv[1]) == "--uefi";
  if (argc != 2 && !uefi) {
    std::fprintf(stderr, "usage: demo_catalogue [--uefi] DB_DIR\n");
    return 2;
  }
  const std::string db = std::string(argv[argc - 1]) + "/";
  try {
    if (uefi) AddUefiDemo(db);
    // The image is in place and nothing can fetch it again, so the entry has no link.
    RemoveFile(db + "Demo.ini");
    IniFile demo(db + "Demo.ini");
    demo.WriteInteger("main", "count", 1);
    for (const auto& [key, value] :
         std::vector<std::pair<std::string, std::string>>{{"name", "Quillhaven Demo"},
                                                          {"version", "1.0"},
                                                          {"download", ""},
                                                          {"filename", "demo.img"},
                                                          {"ostype", "fdd"},
                                                          {"vga", "std"}})
      demo.WriteString("1", key, value);

    IniFile catalogue(db + "db.ini");
    const int count = catalogue.ReadInteger("categories", "count", 0);
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) {
      names.push_back(catalogue.ReadString("categories", std::to_string(i), ""));
      if (names.back() == "Demo") return 0;
    }
    if (count + 1 > MaxCategories) {
      std::fprintf(stderr, "demo_catalogue: %sdb.ini already lists %d categories\n", db.c_str(),
                   MaxCategories);
      return 1;
    }
    for (int i = count; i >= 1; --i)
      catalogue.WriteString("categories", std::to_string(i + 1), names[i - 1]);
    catalogue.WriteString("categories", "1", "Demo");
    catalogue.WriteInteger("categories", "count", count + 1);
  } catch (const IniWriteError& error) {
    std::fprintf(stderr, "demo_catalogue: %s\n", error.what());
    return 1;
  }
  return 0;
}
