#include "db/own_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "db/category.h"
#include "support/db_test_util.h"
#include "db/ini_document.h"
#include "db/ini_file.h"
#include "db/settings.h"
#include "main_func/files.h"
#include "support/failing_file_ops.h"

using dbtest::ReadFile;
using dbtest::TempDir;
using dbtest::WriteFile;

namespace {

// Entry section k holding the values that entry "from" was made with.
std::string Entry(int k, const std::string& name, int from = 0) {
  const std::string n = std::to_string(k);
  const std::string v = std::to_string(from ? from : k);
  return "[" + n + "]\r\nname=" + name + "\r\nversion=v" + v + "\r\ndownload=http://h/" + v +
         "\r\nfilename=f" + v + ".iso\r\nostype=cdrom\r\nvga=std\r\n";
}

class OwnStoreTest : public dbtest::DbFolderFixture {
 protected:
  void SetUp() override { UseCategories({"Own"}); }

  std::filesystem::path Own() const { return dir.Fs("db") / "Own.ini"; }
  std::string Text() const { return ReadFile(Own()); }
  std::vector<std::string> Sections() const {
    IniDocument doc;
    doc.Load(OwnFilePath());
    return doc.SectionNames();
  }
  std::string Name(int k) const {
    OsEntry entry;
    ReadOsEntry(1, k, false, entry);
    return entry.name;
  }

};

TEST_F(OwnStoreTest, OwnIniLiesInTheDbFolderWhateverTheCatalogue) {
  CategoryNames[1] = "Linux";
  DbDir = "data";
  EXPECT_EQ(OwnFilePath(), AppDir + "data\\Own.ini");
}

// ---- append ----

TEST_F(OwnStoreTest, AppendToAMissingFileCreatesIt) {
  AppendOwnEntry("Debian", "12", "http://x/d.iso", "d.iso", "cdrom", "std");
  EXPECT_EQ(Text(),
            "[main]\r\ncount=1\r\n[1]\r\nname=Debian\r\nversion=12\r\ndownload=http://x/d.iso\r\n"
            "filename=d.iso\r\nostype=cdrom\r\nvga=std\r\n");
}

TEST_F(OwnStoreTest, AppendAddsAtTheEndAndCounts) {
  AppendOwnEntry("A", "1", "d", "f", "hdd", "");
  AppendOwnEntry("", "", "", "", "", "");
  EXPECT_EQ(Text(),
            "[main]\r\ncount=2\r\n[1]\r\nname=A\r\nversion=1\r\ndownload=d\r\nfilename=f\r\n"
            "ostype=hdd\r\nvga=\r\n[2]\r\nname=\r\nversion=\r\ndownload=\r\nfilename=\r\n"
            "ostype=\r\nvga=\r\n");
  OsList list{};
  GetOsList(1, list);
  EXPECT_EQ(list[2], " ");
  OsEntry entry;
  ReadOsEntry(1, 2, false, entry);
  EXPECT_EQ(entry.vga, "");
}

TEST_F(OwnStoreTest, AppendKeepsPreviousVersionsAndOtherLines) {
  const std::string before =
      "; my systems\n[main]\ncount=1\nold_count=1\n\n" "[1]\nname=A\n\n[old1]\nname=Old\n";
  WriteFile(Own(), before);
  AppendOwnEntry("B", "2", "d", "f", "fdd", "vmware");
  EXPECT_EQ(Text(),
            "; my systems\n[main]\ncount=2\nold_count=1\n\n[1]\nname=A\n\n[old1]\nname=Old\n"
            "[2]\nname=B\nversion=2\ndownload=d\nfilename=f\nostype=fdd\nvga=vmware\n");
}

TEST_F(OwnStoreTest, AppendWithoutTheDbFolderThrowsAndCreatesNothing) {
  DbDir = "missing";
  try {
    AppendOwnEntry("A", "1", "d", "f", "hdd", "std");
    FAIL() << "no IniWriteError";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + NativePath(AppDir + "missing\\Own.ini"));
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Fs("missing")));
}

// ---- delete ----

TEST_F(OwnStoreTest, DeletingTheOnlyEntryLeavesCountZero) {
  AppendOwnEntry("A", "1", "d", "f", "hdd", "std");
  DeleteOwnEntry(1);
  EXPECT_EQ(Text(), "[main]\r\ncount=0\r\n");
  EXPECT_EQ(GetOsCount(1), 0);
}

TEST_F(OwnStoreTest, DeletingEntry2Of4MovesTheRestDown) {
  WriteFile(Own(), "[main]\r\ncount=4\r\n" + Entry(1, "A") + Entry(2, "B") + Entry(3, "C") +
                       Entry(4, "D"));
  DeleteOwnEntry(2);
  EXPECT_EQ(GetOsCount(1), 3);
  EXPECT_EQ(Name(1), "A");
  EXPECT_EQ(Name(2), "C");
  EXPECT_EQ(Name(3), "D");
  EXPECT_EQ(Name(4), "ERROR");
  // Moved entries keep all their values under their new number.
  OsEntry moved;
  ReadOsEntry(1, 2, false, moved);
  EXPECT_EQ(moved.version, "v3");
  EXPECT_EQ(moved.download, "http://h/3");
  EXPECT_EQ(moved.filename, "f3.iso");
  EXPECT_EQ(moved.ostype, "cdrom");
  EXPECT_EQ(moved.vga, "std");
  EXPECT_EQ(Text(), "[main]\r\ncount=3\r\n" + Entry(1, "A") + Entry(2, "C", 3) + Entry(3, "D", 4));
}

TEST_F(OwnStoreTest, RewrittenSectionsGoToTheEndOfTheFile) {
  WriteFile(Own(), "[main]\r\ncount=3\r\nold_count=1\r\n" + Entry(1, "A") + Entry(2, "B") +
                       "[old1]\r\nname=Old\r\n" + Entry(3, "C"));
  DeleteOwnEntry(1);
  EXPECT_EQ(Sections(), (std::vector<std::string>{"main", "old1", "1", "2"}));
  EXPECT_EQ(Name(1), "B");
  EXPECT_EQ(Name(2), "C");
  OsEntry old;
  ReadOsEntry(1, 1, true, old);
  EXPECT_EQ(old.name, "Old");
  EXPECT_EQ(IniFile(OwnFilePath()).ReadInteger("main", "old_count", 0), 1);
}

TEST_F(OwnStoreTest, MovedSectionsWithoutVgaGetAnEmptyVga) {
  WriteFile(Own(), "[main]\r\ncount=3\r\n" + Entry(1, "A") +
                       "[2]\r\nname=B\r\nversion=2\r\n[3]\r\nname=C\r\nfilename=c.img\r\n");
  DeleteOwnEntry(1);
  EXPECT_EQ(Text(),
            "[main]\r\ncount=2\r\n"
            "[1]\r\nname=B\r\nversion=2\r\ndownload=ERROR\r\nfilename=ERROR\r\nostype=ERROR\r\nvga=\r\n"
            "[2]\r\nname=C\r\nversion=ERROR\r\ndownload=ERROR\r\nfilename=c.img\r\nostype=ERROR\r\n"
            "vga=\r\n");
}

// A number without a section reads as an entry of "ERROR" values; it moves down as such a
// gap rather than being written out, which a count of two billion would make endless.
TEST_F(OwnStoreTest, AGapInsideTheCountMovesDownAsAGap) {
  WriteFile(Own(), "[main]\r\ncount=4\r\n" + Entry(1, "A") + Entry(2, "B") + Entry(4, "D"));
  DeleteOwnEntry(1);
  EXPECT_EQ(GetOsCount(1), 3);
  EXPECT_EQ(Name(1), "B");
  EXPECT_EQ(Name(2), "ERROR");
  EXPECT_EQ(Name(3), "D");
  EXPECT_EQ(Sections(), (std::vector<std::string>{"main", "1", "3"}));
}

TEST_F(OwnStoreTest, AFarEntryBehindAHugeCountMovesDownAtOnce) {
  WriteFile(Own(), "[main]\r\ncount=2000000000\r\n" + Entry(1, "A") + Entry(2000000000, "Z"));
  const auto start = std::chrono::steady_clock::now();
  DeleteOwnEntry(1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(IniFile(OwnFilePath()).ReadInteger("main", "count", 0), 1999999999);
  EXPECT_EQ(IniFile(OwnFilePath()).ReadString("1999999999", "name", ""), "Z");
  EXPECT_EQ(Sections(), (std::vector<std::string>{"main", "1999999999"}));
}

TEST_F(OwnStoreTest, DeleteOutsideTheEntriesChangesNothing) {
  const std::string before = "[main]\r\ncount=2\r\n" + Entry(1, "A") + Entry(2, "B");
  WriteFile(Own(), before);
  for (int entry : {0, -1, 3, 100, -2147483647 - 1, 2147483647}) {
    DeleteOwnEntry(entry);
    EXPECT_EQ(Text(), before) << entry;
  }
  WriteFile(Own(), "[1]\r\nname=A\r\n");  // no count: nothing to delete
  DeleteOwnEntry(1);
  EXPECT_EQ(Text(), "[1]\r\nname=A\r\n");
}

TEST_F(OwnStoreTest, DeleteWithoutAFileCreatesNone) {
  DeleteOwnEntry(1);
  EXPECT_FALSE(std::filesystem::exists(Own()));
}

TEST_F(OwnStoreTest, AHugeCountDoesNotMakeDeleteRunForEver) {
  WriteFile(Own(), "[main]\r\ncount=2000000000\r\n" + Entry(1, "A") + Entry(2, "B") + Entry(3, "C"));
  const auto start = std::chrono::steady_clock::now();
  DeleteOwnEntry(1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(IniFile(OwnFilePath()).ReadInteger("main", "count", 0), 1999999999);
  EXPECT_EQ(Name(1), "B");
  EXPECT_EQ(Name(2), "C");
  EXPECT_EQ(Sections(), (std::vector<std::string>{"main", "1", "2"}));
}

TEST_F(OwnStoreTest, TheLargestCountDeletesAndAppendsWithoutOverflow) {
  WriteFile(Own(), "[main]\r\ncount=2147483647\r\n" + Entry(2147483647, "Z"));
  DeleteOwnEntry(2147483647);
  EXPECT_EQ(Text(), "[main]\r\ncount=2147483646\r\n");
  WriteFile(Own(), "[main]\r\ncount=2147483647\r\n");
  AppendOwnEntry("A", "1", "d", "f", "hdd", "std");
  EXPECT_EQ(IniFile(OwnFilePath()).ReadInteger("main", "count", 0), 2147483647);
  EXPECT_EQ(IniFile(OwnFilePath()).ReadString("2147483647", "name", ""), "A");
}

// The hashes of the edited entry and of the one that moves down go with them.
TEST_F(OwnStoreTest, EditingKeepsTheValuesAndMakesTheEntryTheLast) {
  WriteFile(Own(), "[main]\r\ncount=3\r\n" + Entry(1, "A") + Entry(2, "B") + "sha256=b2\r\n" +
                       Entry(3, "C") + "sha256=C3\r\n");
  OsEntry edited;
  ReadOsEntry(1, 2, false, edited);
  DeleteOwnEntry(2);
  AppendOwnEntry(edited.name, edited.version, edited.download, edited.filename, edited.ostype,
                 edited.vga, edited.sha256);
  EXPECT_EQ(Text(), "[main]\r\ncount=3\r\n" + Entry(1, "A") + Entry(2, "C", 3) +
                        "sha256=C3\r\n" + Entry(3, "B", 2) + "sha256=b2\r\n");
}

TEST_F(OwnStoreTest, AFailedWriteOfAReadOnlyOwnIniLeavesItAsItWas) {
  const std::string before = "[main]\r\ncount=2\r\n" + Entry(1, "A") + Entry(2, "B");
  WriteFile(Own(), before);
  dbtest::MakeReadOnlyFile(Own(), true);
  try {
    DeleteOwnEntry(1);
    FAIL() << "no IniWriteError";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + NativePath(OwnFilePath()));
  }
  EXPECT_THROW(AppendOwnEntry("C", "3", "d", "f", "hdd", "std"), IniWriteError);
  dbtest::MakeReadOnlyFile(Own(), false);
  EXPECT_EQ(Text(), before);
}

TEST_F(OwnStoreTest, AFailedWriteInAReadOnlyFolderLeavesOwnIniAsItWas) {
#ifdef _WIN32
  GTEST_SKIP() << "a read-only folder still takes new files on Windows";
#else
  const std::string before = "[main]\r\ncount=2\r\n" + Entry(1, "A") + Entry(2, "B");
  WriteFile(Own(), before);
  dbtest::LockedFolder lock(dir.Fs("db"));
  if (!lock.Locked()) GTEST_SKIP() << "cannot make a read-only folder here";
  EXPECT_THROW(DeleteOwnEntry(2), IniWriteError);
  EXPECT_THROW(AppendOwnEntry("C", "3", "d", "f", "hdd", "std"), IniWriteError);
  EXPECT_EQ(Text(), before);
#endif
}

// ---- failing saves ----

// Each file operation of each writer fails in turn (a full disk, or a kill there): Own.ini
// is then the old file whole, the error names it for the screen's "Unable to write to"
// line, and nothing is left for the next start to repair; past the last one it is new.
TEST_F(OwnStoreTest, EachFailingFileOperationLeavesOwnIniWhollyOldOrWhollyNew) {
  const std::string before = "[main]\r\ncount=2\r\n" + Entry(1, "A") + Entry(2, "B");
  const std::vector<std::pair<std::function<void()>, std::string>> writers = {
      {[] { AppendOwnEntry("C", "v3", "http://h/3", "f3.iso", "cdrom", "std"); },
       "[main]\r\ncount=3\r\n" + Entry(1, "A") + Entry(2, "B") + Entry(3, "C")},
      {[] { DeleteOwnEntry(1); }, "[main]\r\ncount=1\r\n" + Entry(1, "B", 2)}};
  for (const auto& [write, after] : writers) {
    int n = 1;
    for (;; ++n) {
      SCOPED_TRACE(after + " at operation " + std::to_string(n));
      WriteFile(Own(), before);
      FailingFileOps ops(n, true);
      try {
        write();
        EXPECT_FALSE(ops.Hit());
        EXPECT_EQ(Text(), after);
        break;
      } catch (const IniWriteError& e) {
        EXPECT_TRUE(ops.Hit());
        EXPECT_EQ(e.path, OwnFilePath());
        EXPECT_EQ(Text(), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Fs("db")),
                                std::filesystem::directory_iterator()), 1);
      }
    }
    EXPECT_EQ(n, 2);  // a save is one atomic write
  }
}

}  // namespace
