#include "db/category.h"

#include <gtest/gtest.h>

#include <string>

#include "support/db_test_util.h"
#include "db/settings.h"
#include "main_func/files.h"

using dbtest::Console;
using dbtest::TempDir;
using dbtest::WriteFile;

namespace {

class CategoryTest : public dbtest::DbFolderFixture {
 protected:
  void SetUp() override { UseCategories({"Linux", "Own", "Dos"}); }

  void Category(const std::string& name, const std::string& text) {
    WriteFile(dir.Fs("db") / (name + ".ini"), text);
  }
  std::string MissingLine(const std::string& name) const {
    return " * ERROR File " + NativePath(AppDir + "db\\" + name + ".ini") + " not exists!\n";
  }

  OsList list{};
};

// ---- paths ----

TEST_F(CategoryTest, PathIsTheDbFolderAndTheCategoryName) {
  EXPECT_EQ(CategoryFilePath(1), AppDir + "db\\Linux.ini");
  EXPECT_EQ(CategoryFilePath(3), AppDir + "db\\Dos.ini");
  DbDir = "db\\";
  EXPECT_EQ(CategoryFilePath(2), AppDir + "db\\\\Own.ini");
}

TEST_F(CategoryTest, NumbersOutsideTheCatalogueHaveTheEmptyName) {
  CategoryNames[4] = "Hidden";
  for (int category : {0, -1, 4, 9, 1000, -2147483647 - 1}) {
    EXPECT_EQ(CategoryFilePath(category), AppDir + "db\\.ini") << category;
  }
  CategoryCount = 20;
  EXPECT_EQ(CategoryFilePath(9), AppDir + "db\\.ini");
}

// ---- counters ----

TEST_F(CategoryTest, CountOfAMissingFileIsReportedAsMinus99) {
  Console console;
  EXPECT_EQ(GetOsCount(1), -99);
  EXPECT_EQ(GetOldCount(1), -99);
  EXPECT_EQ(console.Output(), MissingLine("Linux") + MissingLine("Linux"));
  EXPECT_FALSE(FileExists(CategoryFilePath(1)));
}

TEST_F(CategoryTest, CountsAsReadWithTheirDefaults) {
  Console console;
  Category("Linux", "[main]\r\ncount=5\r\nold_count=2\r\n");
  EXPECT_EQ(GetOsCount(1), 5);
  EXPECT_EQ(GetOldCount(1), 2);
  Category("Linux", "[main]\r\n");
  EXPECT_EQ(GetOsCount(1), 0);
  EXPECT_EQ(GetOldCount(1), -99);
  Category("Linux", "[main]\r\ncount=abc\r\nold_count=x1\r\n");
  EXPECT_EQ(GetOsCount(1), 0);
  EXPECT_EQ(GetOldCount(1), -99);
  Category("Linux", "[main]\r\nold_count=0\r\n");
  EXPECT_EQ(GetOldCount(1), 0);
  EXPECT_EQ(console.Output(), "");
}

TEST_F(CategoryTest, CountsAboveTheListSizeAreCutTo100) {
  Category("Linux", "[main]\r\ncount=150\r\nold_count=0x7fffffff\r\n");
  EXPECT_EQ(GetOsCount(1), 100);
  EXPECT_EQ(GetOldCount(1), 100);
}

// ---- lists ----

TEST_F(CategoryTest, ListOfAMissingFileReportsTwiceAndSaysError) {
  list[2] = "keep";
  Console console;
  GetOsList(1, list);
  EXPECT_EQ(console.Output(), MissingLine("Linux") + MissingLine("Linux"));
  EXPECT_EQ(list[1], "ERROR");
  EXPECT_EQ(list[2], "keep");
}

TEST_F(CategoryTest, ListShowsNameAndVersionOfEachEntry) {
  Category("Linux",
           "[main]\r\ncount=4\r\n[1]\r\nname=Debian\r\nversion=12\r\n[2]\r\nname=Arch\r\n"
           "[3]\r\nversion=only\r\n");
  list[5] = "keep";
  Console console;
  GetOsList(1, list);
  EXPECT_EQ(list[1], "Debian 12");
  EXPECT_EQ(list[2], "Arch ERROR");
  EXPECT_EQ(list[3], "ERROR only");
  EXPECT_EQ(list[4], "ERROR ERROR");
  EXPECT_EQ(list[5], "keep");
  EXPECT_EQ(list[0], "");
  EXPECT_EQ(console.Output(), "");
}

TEST_F(CategoryTest, ListWithoutCountWritesNothing) {
  Category("Linux", "[1]\r\nname=Debian\r\nversion=12\r\n");
  GetOsList(1, list);
  EXPECT_EQ(list[1], "");
  Category("Linux", "[main]\r\ncount=-4\r\n[1]\r\nname=Debian\r\nversion=12\r\n");
  GetOsList(1, list);
  EXPECT_EQ(list[1], "");
}

TEST_F(CategoryTest, ListStopsAtTheLastSlot) {
  std::string text = "[main]\r\ncount=150\r\n";
  for (int k = 1; k <= 101; ++k) {
    text += "[" + std::to_string(k) + "]\r\nname=N" + std::to_string(k) + "\r\nversion=v\r\n";
  }
  Category("Linux", text);
  GetOsList(1, list);
  EXPECT_EQ(list[1], "N1 v");
  EXPECT_EQ(list[100], "N100 v");
}

TEST_F(CategoryTest, OldListReadsTheOldSections) {
  Category("Linux",
           "[main]\r\ncount=1\r\nold_count=2\r\n[1]\r\nname=New\r\nversion=2\r\n"
           "[old1]\r\nname=Debian\r\nversion=10\r\n[old2]\r\nname=Debian\r\n");
  Console console;
  GetOldOsList(1, list);
  EXPECT_EQ(list[1], "Debian 10");
  EXPECT_EQ(list[2], "Debian ERROR");
  EXPECT_EQ(list[3], "");
  EXPECT_EQ(console.Output(), "");
}

TEST_F(CategoryTest, OldListWithoutPreviousVersionsSaysErrorWithoutAReport) {
  for (const char* text : {"[main]\r\n", "[main]\r\nold_count=0\r\n", "[main]\r\nold_count=-2\r\n"}) {
    OsList fresh{};
    Category("Linux", text);
    Console console;
    GetOldOsList(1, fresh);
    EXPECT_EQ(fresh[1], "ERROR") << text;
    EXPECT_EQ(fresh[2], "") << text;
    EXPECT_EQ(console.Output(), "") << text;
  }
}

TEST_F(CategoryTest, OldListOfAMissingFileReportsTwice) {
  Console console;
  GetOldOsList(3, list);
  EXPECT_EQ(console.Output(), MissingLine("Dos") + MissingLine("Dos"));
  EXPECT_EQ(list[1], "ERROR");
}

TEST_F(CategoryTest, AnEmptyCategorySlotNamesAFileCalledDotIni) {
  CategoryNames[2] = "";
  Console console;
  EXPECT_EQ(GetOsCount(2), -99);
  GetOsList(2, list);
  EXPECT_EQ(list[1], "ERROR");
  EXPECT_EQ(console.Output(), MissingLine("") + MissingLine("") + MissingLine(""));
}

TEST_F(CategoryTest, NumbersOutsideTheCatalogueReadAsAMissingFile) {
  // Even a file that happens to be named ".ini" is not read for them.
  Category("", "[main]\r\ncount=1\r\nold_count=1\r\n[1]\r\nname=Stray\r\n");
  for (int category : {0, -1, 4, 9}) {
    OsList fresh{};
    OsEntry entry{"n", "v", "d", "f", "o", "g"};
    Console console;
    EXPECT_EQ(GetOsCount(category), -99);
    EXPECT_EQ(GetOldCount(category), -99);
    GetOsList(category, fresh);
    GetOldOsList(category, fresh);
    ReadOsEntry(category, 1, false, entry);
    EXPECT_EQ(fresh[1], "ERROR");
    EXPECT_EQ(entry.name, "ERROR");
    EXPECT_EQ(entry.version, "v");
    std::string expected;
    for (int i = 0; i < 7; ++i) expected += MissingLine("");
    EXPECT_EQ(console.Output(), expected) << category;
  }
}

// ---- the own category ----

TEST_F(CategoryTest, OwnIsTheFirstSlotNamedExactlyOwn) {
  EXPECT_EQ(OwnCategoryIndex(), 2);
  CategoryNames[2] = "own";
  EXPECT_EQ(OwnCategoryIndex(), -99);
  CategoryNames[3] = "Own";
  CategoryNames[1] = "Own";
  EXPECT_EQ(OwnCategoryIndex(), 1);
}

TEST_F(CategoryTest, OwnIsLookedForOnlyInsideTheCatalogue) {
  CategoryNames[2] = "";
  CategoryNames[4] = "Own";
  EXPECT_EQ(OwnCategoryIndex(), -99);
  CategoryNames[1] = "Own";
  CategoryCount = 0;
  EXPECT_EQ(OwnCategoryIndex(), -99);
  CategoryCount = -5;
  EXPECT_EQ(OwnCategoryIndex(), -99);
  CategoryCount = 1000;
  EXPECT_EQ(OwnCategoryIndex(), 1);
}

// ---- entries ----

TEST_F(CategoryTest, EntryHasAllSixFieldsAndItsHash) {
  Category("Linux",
           "[main]\r\ncount=1\r\n[1]\r\nname=Debian\r\nversion=12\r\n"
           "download=http://x/d.iso\r\nfilename=d.iso\r\nostype=cdrom\r\nvga=std\r\n"
           "sha256=AB12\r\n");
  OsEntry entry;
  ReadOsEntry(1, 1, false, entry);
  EXPECT_EQ(entry.name, "Debian");
  EXPECT_EQ(entry.version, "12");
  EXPECT_EQ(entry.download, "http://x/d.iso");
  EXPECT_EQ(entry.filename, "d.iso");
  EXPECT_EQ(entry.ostype, "cdrom");
  EXPECT_EQ(entry.vga, "std");
  EXPECT_EQ(entry.sha256, "AB12");
}

TEST_F(CategoryTest, EntryDefaultsAreErrorAndCirrusButAnEmptyVgaStaysEmpty) {
  Category("Linux", "[1]\r\nname=A\r\n[2]\r\nvga=\r\n");
  OsEntry entry;
  ReadOsEntry(1, 1, false, entry);
  EXPECT_EQ(entry.name, "A");
  EXPECT_EQ(entry.version, "ERROR");
  EXPECT_EQ(entry.vga, "cirrus");
  ReadOsEntry(1, 2, false, entry);
  EXPECT_EQ(entry.name, "ERROR");
  EXPECT_EQ(entry.vga, "");
  ReadOsEntry(1, 7, false, entry);
  EXPECT_EQ(entry.name, "ERROR");
  EXPECT_EQ(entry.version, "ERROR");
  EXPECT_EQ(entry.download, "ERROR");
  EXPECT_EQ(entry.filename, "ERROR");
  EXPECT_EQ(entry.ostype, "ERROR");
  EXPECT_EQ(entry.vga, "cirrus");
  EXPECT_EQ(entry.sha256, "");  // no hash: nothing to check
}

TEST_F(CategoryTest, OldFlagReadsTheOldSection) {
  Category("Linux", "[2]\r\nname=Current\r\n[old2]\r\nname=Previous\r\n");
  OsEntry entry;
  ReadOsEntry(1, 2, true, entry);
  EXPECT_EQ(entry.name, "Previous");
  ReadOsEntry(1, 2, false, entry);
  EXPECT_EQ(entry.name, "Current");
}

TEST_F(CategoryTest, EntryOfAMissingFileSetsOnlyTheName) {
  OsEntry entry{"n", "v", "d", "f", "o", "g"};
  Console console;
  ReadOsEntry(2, 1, false, entry);
  EXPECT_EQ(console.Output(), MissingLine("Own"));
  EXPECT_EQ(entry.name, "ERROR");
  EXPECT_EQ(entry.version, "v");
  EXPECT_EQ(entry.download, "d");
  EXPECT_EQ(entry.filename, "f");
  EXPECT_EQ(entry.ostype, "o");
  EXPECT_EQ(entry.vga, "g");
}

TEST_F(CategoryTest, EveryCallSeesTheFileAsItIsNow) {
  Category("Own", "[main]\r\ncount=1\r\n[1]\r\nname=A\r\nversion=1\r\n");
  EXPECT_EQ(GetOsCount(2), 1);
  Category("Own", "[main]\r\ncount=2\r\n[1]\r\nname=B\r\nversion=1\r\n");
  EXPECT_EQ(GetOsCount(2), 2);
  GetOsList(2, list);
  EXPECT_EQ(list[1], "B 1");
}

}  // namespace
