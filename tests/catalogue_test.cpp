// The catalogue an installation ships (catalogue/, installed as db\): every category file
// is there, every entry is complete and launchable, and each link's last path element is
// the image's file name, which is where wget leaves the download.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "db/ini_file.h"

namespace {

namespace fs = std::filesystem;

#ifdef QH_CATALOGUE_DIR
const std::string Dir = QH_CATALOGUE_DIR;
#else
const std::string Dir;
#endif

std::string LastPathElement(const std::string& link) { return link.substr(link.rfind('/') + 1); }

bool IsDirectLink(const std::string& link) {
  return (link.rfind("https://", 0) == 0 || link.rfind("http://", 0) == 0) &&
         link.find(' ') == std::string::npos && link.find('?') == std::string::npos;
}

void CheckEntry(const IniFile& file, const std::string& section) {
  SCOPED_TRACE(file.Path() + " [" + section + "]");
  const std::string name = file.ReadString(section, "name", "ERROR");
  const std::string version = file.ReadString(section, "version", "ERROR");
  const std::string download = file.ReadString(section, "download", "ERROR");
  const std::string filename = file.ReadString(section, "filename", "ERROR");
  const std::string ostype = file.ReadString(section, "ostype", "ERROR");
  const std::string vga = file.ReadString(section, "vga", "ERROR");
  EXPECT_NE(name, "ERROR");
  EXPECT_NE(version, "ERROR");
  EXPECT_TRUE(IsDirectLink(download)) << download;
  EXPECT_EQ(LastPathElement(download), filename);
  // Quillhaven does not quote command lines: a blank would split the image's name.
  EXPECT_EQ(filename.find(' '), std::string::npos);
  EXPECT_TRUE(ostype == "cdrom" || ostype == "hdd" || ostype == "fdd") << ostype;
  EXPECT_TRUE(vga == "cirrus" || vga == "std" || vga == "vmware") << vga;
  // Archives cannot be booted; the catalogue names images only.
  for (const char* packed : {".zip", ".7z", ".gz", ".xz", ".bz2"}) {
    EXPECT_EQ(filename.find(packed), std::string::npos) << filename;
  }
}

TEST(ShippedCatalogue, EveryCategoryAndEntryIsComplete) {
  if (Dir.empty()) GTEST_SKIP() << "the catalogue is checked by the native build";
  IniFile db(Dir + "/db.ini");
  EXPECT_NE(db.ReadString("version", "version", ""), "");
  EXPECT_EQ(db.ReadInteger("version", "aver", 0), 1);
  const int count = db.ReadInteger("categories", "count", 0);
  // Room for the demo installation's own category among the 8 slots.
  ASSERT_GE(count, 1);
  ASSERT_LE(count, 7);

  std::set<std::string> names;
  int entries = 0;
  for (int i = 1; i <= count; ++i) {
    const std::string name = db.ReadString("categories", std::to_string(i), "");
    ASSERT_FALSE(name.empty()) << "category " << i;
    EXPECT_TRUE(names.insert(name).second) << name;
    const std::string path = Dir + "/" + name + ".ini";
    ASSERT_TRUE(fs::is_regular_file(path)) << path;
    IniFile file(path);
    const int current = file.ReadInteger("main", "count", -1);
    const int old = file.ReadInteger("main", "old_count", -99);
    if (name == "Own") {
      EXPECT_EQ(current, 0);
      EXPECT_EQ(old, -99);
      continue;
    }
    EXPECT_GE(current, 1) << name;
    EXPECT_LE(current, 100);
    EXPECT_LE(old, 100);
    for (int k = 1; k <= current; ++k) CheckEntry(file, std::to_string(k));
    for (int k = 1; k <= old; ++k) CheckEntry(file, "old" + std::to_string(k));
    EXPECT_EQ(file.ReadString(std::to_string(current + 1), "name", "none"), "none")
        << name << " holds more entries than its count";
    entries += current;
  }
  EXPECT_EQ(names.count("Own"), 1u);
  EXPECT_GE(entries, 8);

  const std::string manager = db.ReadString("hddmanager", "download", "ERROR");
  EXPECT_TRUE(IsDirectLink(manager)) << manager;
  EXPECT_EQ(LastPathElement(manager), db.ReadString("hddmanager", "filename", "ERROR"));
}

TEST(ShippedCatalogue, FilesHaveWindowsLineEnds) {
  if (Dir.empty()) GTEST_SKIP() << "the catalogue is checked by the native build";
  for (const fs::directory_entry& e : fs::directory_iterator(Dir)) {
    if (e.path().extension() != ".ini") continue;
    std::string text;
    {
      std::FILE* f = std::fopen(e.path().string().c_str(), "rb");
      ASSERT_NE(f, nullptr);
      char buffer[4096];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
      std::fclose(f);
    }
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') {
        ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << e.path();
      }
    }
  }
}

}  // namespace
