// Adds the "Demo" category to an installation's catalogue: demo_catalogue DB_DIR
// Writes DB_DIR/Demo.ini with the demo OS and puts Demo first in db.ini's [categories],
// moving the others down one number, through the program's own INI access, so the files
// read exactly as the program reads them. Nothing changes in db.ini when Demo is listed.
#include <cstdio>
#include <string>
#include <vector>

#include "db/ini_file.h"
#include "main_func/files.h"

namespace {
constexpr int MaxCategories = 8;  // the slots of the main menu
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_catalogue DB_DIR\n");
    return 2;
  }
  const std::string db = std::string(argv[1]) + "/";
  try {
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
