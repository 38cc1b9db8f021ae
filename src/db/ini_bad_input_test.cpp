// INI files as users and other programs leave them: odd line ends, NUL bytes, huge values
// and huge files. Reading must never lose or invent data, and writing must keep everything
// it does not change.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "db/category.h"
#include "support/db_test_util.h"
#include "db/ini_document.h"
#include "db/ini_file.h"
#include "db/own_store.h"
#include "db/settings.h"

using dbtest::ReadFile;
using dbtest::TempDir;
using dbtest::WriteFile;

namespace {

using IniBadInputTest = dbtest::IniFileFixture;

TEST_F(IniBadInputTest, CrOnlyLineEndsSeparateLinesAndNewLinesFollowThem) {
  IniFile ini = With("[main]\rcount=3\r[1]\rname=Mac\rversion=9\r");
  EXPECT_EQ(ini.ReadInteger("main", "count", 0), 3);
  EXPECT_EQ(ini.ReadString("1", "name", ""), "Mac");
  EXPECT_EQ(ini.ReadString("1", "version", ""), "9");

  ini.WriteString("1", "vga", "std");
  ini.WriteInteger("main", "count", 4);
  EXPECT_EQ(Text(), "[main]\rcount=4\r[1]\rname=Mac\rversion=9\rvga=std\r");
}

TEST_F(IniBadInputTest, MixedLineEndsAreEachKept) {
  const std::string text = "[a]\r\nx=1\ry=2\nz=3\r\r\n";
  IniFile ini = With(text);
  EXPECT_EQ(ini.ReadString("a", "x", ""), "1");
  EXPECT_EQ(ini.ReadString("a", "y", ""), "2");
  EXPECT_EQ(ini.ReadString("a", "z", ""), "3");
  IniDocument doc;
  doc.Parse(text);
  EXPECT_EQ(doc.Text(), text);
}

TEST_F(IniBadInputTest, ANulByteEndsAValueAndIsKeptInTheFile) {
  using namespace std::string_literals;
  const std::string text = "[main]\r\ncount=1\0" "2\r\n[1]\r\nname=Li\0nux  \r\njunk\0=x\r\n"
                           "\0\0\r\nversion=7\r\n"s;
  IniFile ini = With(text);
  // What the system would see of the value as a path or a command-line word.
  EXPECT_EQ(ini.ReadInteger("main", "count", -1), 1);
  EXPECT_EQ(ini.ReadString("1", "name", "def"), "Li");
  EXPECT_EQ(ini.ReadString("1", "version", "def"), "7");
  EXPECT_EQ(ini.ReadString("1", "junk\0"s, "def"), "x");

  // Changing one key keeps every other byte, NULs included.
  ini.WriteString("1", "version", "8");
  std::string expected = text;
  expected.replace(expected.find("version=7"), 9, "version=8");
  EXPECT_EQ(Text(), expected);
}

TEST_F(IniBadInputTest, AOneMegabyteValueReadsAs2047CharactersAndStaysWhole) {
  const std::string huge(1 << 20, 'x');
  IniFile ini = With("[1]\r\nname=" + huge + "\r\nversion=1\r\n");
  EXPECT_EQ(ini.ReadString("1", "name", ""), std::string(2047, 'x'));
  EXPECT_EQ(ini.ReadString("1", "version", ""), "1");
  ini.WriteString("1", "version", "2");
  EXPECT_EQ(Text(), "[1]\r\nname=" + huge + "\r\nversion=2\r\n");

  // A huge value written by the program reads back cut as well, and is stored whole.
  ini.WriteString("2", "name", huge);
  EXPECT_EQ(ini.ReadString("2", "name", ""), std::string(2047, 'x'));
  EXPECT_NE(Text().find("[2]\r\nname=" + huge + "\r\n"), std::string::npos);
}

TEST_F(IniBadInputTest, TenThousandSectionsAreReadWrittenAndErased) {
  std::string text = "[main]\r\ncount=10000\r\n";
  for (int k = 1; k <= 10000; ++k) {
    text += "[" + std::to_string(k) + "]\r\nname=OS " + std::to_string(k) + "\r\n";
  }
  IniFile ini = With(text);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ini.ReadString("10000", "name", ""), "OS 10000");
  EXPECT_EQ(ini.ReadString("5000", "name", ""), "OS 5000");
  ini.WriteString("10000", "version", "last");
  ini.EraseSection("1");
  EXPECT_EQ(ini.ReadString("10000", "version", ""), "last");
  EXPECT_EQ(ini.ReadString("1", "name", "gone"), "gone");
  EXPECT_EQ(ini.ReadString("2", "name", ""), "OS 2");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// Category files and Own.ini of that size: the lists stop at 100 entries, and deleting the
// first of 10,000 own entries moves every other one down without taking minutes.
class HugeCategoryTest : public dbtest::DbFolderFixture {
 protected:
  void SetUp() override {
    UseCategories({"Own"});
    std::string text = "[main]\r\ncount=10000\r\n";
    for (int k = 1; k <= 10000; ++k) {
      const std::string n = std::to_string(k);
      text += "[" + n + "]\r\nname=OS " + n + "\r\nversion=" + n + "\r\ndownload=http://h/" + n +
              "\r\nfilename=f" + n + ".iso\r\nostype=cdrom\r\nvga=std\r\n";
    }
    WriteFile(dir.Fs("db") / "Own.ini", text);
  }
};

TEST_F(HugeCategoryTest, ListsStopAtTheirHundredSlots) {
  EXPECT_EQ(GetOsCount(1), 100);
  OsList list;
  GetOsList(1, list);
  EXPECT_EQ(list[1], "OS 1 1");
  EXPECT_EQ(list[100], "OS 100 100");
  OsEntry os;
  ReadOsEntry(1, 10000, false, os);
  EXPECT_EQ(os.name, "OS 10000");
}

TEST_F(HugeCategoryTest, DeletingTheFirstOfTenThousandEntriesMovesTheRestQuickly) {
  const auto start = std::chrono::steady_clock::now();
  DeleteOwnEntry(1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  const IniFile own(OwnFilePath());
  EXPECT_EQ(own.ReadInteger("main", "count", 0), 9999);
  EXPECT_EQ(own.ReadString("1", "name", ""), "OS 2");
  EXPECT_EQ(own.ReadString("5000", "filename", ""), "f5001.iso");
  EXPECT_EQ(own.ReadString("9999", "name", ""), "OS 10000");
  EXPECT_EQ(own.ReadString("10000", "name", "gone"), "gone");
}

}  // namespace
