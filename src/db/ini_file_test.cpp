#include "db/ini_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/db_test_util.h"
#include "db/ini_document.h"
#include "main_func/files.h"

using dbtest::ReadFile;
using dbtest::TempDir;
using dbtest::WriteFile;

namespace {

using IniFileTest = dbtest::IniFileFixture;

// ---- reading ----

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  IniFile missing(path);
  EXPECT_EQ(missing.ReadString("a", "x", "def"), "def");
  EXPECT_EQ(missing.ReadInteger("a", "x", -99), -99);
  IniFile ini = With("[a]\r\nx=1\r\n");
  EXPECT_EQ(ini.ReadString("b", "x", "def"), "def");
  EXPECT_EQ(ini.ReadString("a", "y", "def"), "def");
  EXPECT_EQ(ini.ReadString("a", "x", "def"), "1");
}

// One row a reading rule: the file's text, and what ReadString(section, key, "def") gives.
TEST_F(IniFileTest, ReadingRules) {
  const std::string bigValue = "[a]\r\nlong=" + std::string(3000, 'v') + "\r\nexact=" +
                               std::string(2047, 'w') + "\r\n";
  const struct {
    const char* rule;
    std::string text, section, key, expected;
  } rows[] = {
      {"names match without regard to case", "[Paths]\r\nDB=data\r\n", "paths", "db", "data"},
      {"names match without regard to case", "[Paths]\r\nDB=data\r\n", "PATHS", "Db", "data"},
      {"blanks around names and value are dropped", "  [ sec ]  \r\n  key  =  two  words \t\r\n",
       "sec", "key", "two  words"},
      {"an empty value is empty, not the default", "[a]\r\nempty=\r\n", "a", "empty", ""},
      {"a value of blanks is empty", "[a]\r\nblanks=   \r\n", "a", "blanks", ""},
      {"at most 2047 characters of a value", bigValue, "a", "long", std::string(2047, 'v')},
      {"2047 characters are kept whole", bigValue, "a", "exact", std::string(2047, 'w')},
      {"keys before any section are ignored", "top=1\r\n[a]\r\njunk\r\nx=2\r\n", "a", "top", "def"},
      {"a line without = is no key", "top=1\r\n[a]\r\njunk\r\n; note\r\nx=2\r\n", "a", "junk", "def"},
      {"lines after junk still read", "top=1\r\n[a]\r\njunk\r\n; note\r\nx=2\r\n", "a", "x", "2"},
      {"a byte order mark does not hide the first section", "\xEF\xBB\xBF[a]\r\nx=1\r\n", "a", "x", "1"},
      {"the first of duplicate keys is read", "[a]\nx=1\nx=9\n[b]\n[A]\nx=2\ny=3\n", "a", "x", "1"},
      {"the first of duplicate sections is read", "[a]\nx=1\nx=9\n[b]\n[A]\nx=2\ny=3\n", "a", "y", "def"},
      {"LF lines are read", "[a]\nx=1\ny=2", "a", "x", "1"},
      {"a last line without end is read", "[a]\nx=1\ny=2", "a", "y", "2"},
      {"bytes outside ASCII are read as they are",
       "[\xC3\x84]\r\nname=\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD \xE9\r\n", "\xC3\x84", "NAME",
       "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD \xE9"},
      {"case folds only ASCII", "[\xC3\x84]\r\nname=x\r\n", "\xC3\xA4", "name", "def"},
  };
  for (const auto& row : rows) {
    IniFile ini = With(row.text);
    EXPECT_EQ(ini.ReadString(row.section, row.key, "def"), row.expected) << row.rule;
  }
}

TEST_F(IniFileTest, AFolderInPlaceOfTheFileReadsAsEmpty) {
  std::filesystem::create_directory(dir.Fs("t.ini"));
  EXPECT_EQ(IniFile(path).ReadString("a", "x", "def"), "def");
}

// ---- integers and flags ----

TEST_F(IniFileTest, IntegersInDecimalAndHexadecimal) {
  IniFile ini = With(
      "[n]\r\ndec=42\r\nneg=-17\r\nplus=+5\r\nlead=007\r\nblank=  12  \r\nhex=0x1F\r\n"
      "HEX=0XaB\r\ndollar=$ff\r\nnegHex=-0x10\r\nmax=2147483647\r\nmin=-2147483648\r\n"
      "hexMax=0x7FFFFFFF\r\n");
  EXPECT_EQ(ini.ReadInteger("n", "dec", 0), 42);
  EXPECT_EQ(ini.ReadInteger("n", "neg", 0), -17);
  EXPECT_EQ(ini.ReadInteger("n", "plus", 0), 5);
  EXPECT_EQ(ini.ReadInteger("n", "lead", 0), 7);
  EXPECT_EQ(ini.ReadInteger("n", "blank", 0), 12);
  EXPECT_EQ(ini.ReadInteger("n", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("n", "hex2", 0), 0);  // missing key: the default
  EXPECT_EQ(IniFile(path).ReadInteger("n", "dollar", 0), 255);
  EXPECT_EQ(ini.ReadInteger("n", "negHex", 0), -16);
  EXPECT_EQ(ini.ReadInteger("n", "max", 0), 2147483647);
  EXPECT_EQ(ini.ReadInteger("n", "min", 0), -2147483647 - 1);
  EXPECT_EQ(ini.ReadInteger("n", "hexMax", 0), 2147483647);
  // "HEX" and "hex" are one key: the first one counts.
  EXPECT_EQ(ini.ReadInteger("n", "HEX", 0), 31);
}

TEST_F(IniFileTest, NonIntegersGiveTheDefault) {
  const char* texts[] = {"", "abc", "1e9", "12abc", "3.5", "1 2", "0x", "$", "-", "+",
                         "0xG1", "$-1", "--1", "2147483648", "-2147483649", "0x80000000",
                         "99999999999999999999", "0b101"};
  for (const char* text : texts) {
    IniFile ini = With(std::string("[n]\r\nv=") + text + "\r\n");
    EXPECT_EQ(ini.ReadInteger("n", "v", -99), -99) << "value '" << text << "'";
  }
}

TEST_F(IniFileTest, FlagsAreIntegersWithTheDefaultAsZeroOrOne) {
  IniFile ini = With("[o]\r\none=1\r\ntwo=2\r\nzero=0\r\nword=true\r\nempty=\r\nhex=0x1\r\n");
  EXPECT_TRUE(ini.ReadBool("o", "one", false));
  EXPECT_TRUE(ini.ReadBool("o", "two", false));
  EXPECT_FALSE(ini.ReadBool("o", "zero", true));
  EXPECT_FALSE(ini.ReadBool("o", "word", false));
  EXPECT_TRUE(ini.ReadBool("o", "word", true));
  EXPECT_FALSE(ini.ReadBool("o", "empty", false));
  EXPECT_TRUE(ini.ReadBool("o", "hex", false));
  EXPECT_TRUE(ini.ReadBool("o", "missing", true));
}

// ---- writing ----

TEST_F(IniFileTest, WriteCreatesTheFileWithCrLf) {
  IniFile ini(path);
  ini.WriteString("a", "x", "1");
  ini.WriteInteger("a", "n", -7);
  EXPECT_EQ(Text(), "[a]\r\nx=1\r\nn=-7\r\n");
}

TEST_F(IniFileTest, NewSectionGoesToTheEndOfTheFile) {
  IniFile ini = With("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
  ini.WriteString("c", "z", "3");
  EXPECT_EQ(Text(), "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n[c]\r\nz=3\r\n");
}

TEST_F(IniFileTest, NewKeyGoesToTheEndOfItsSection) {
  IniFile ini = With("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
  ini.WriteString("A", "z", "3");
  EXPECT_EQ(Text(), "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n");
  ini.WriteString("b", "w", "4");
  EXPECT_EQ(Text(), "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\nw=4\r\n");
}

TEST_F(IniFileTest, ExistingKeyIsReplacedInPlace) {
  IniFile ini = With("[a]\r\nX = 1\r\ny=2\r\nx=9\r\n[b]\r\nx=5\r\n");
  ini.WriteString("a", "x", "new value");
  EXPECT_EQ(Text(), "[a]\r\nX=new value\r\ny=2\r\nx=9\r\n[b]\r\nx=5\r\n");
  EXPECT_EQ(ini.ReadString("a", "x", ""), "new value");
}

TEST_F(IniFileTest, WritesGoToTheFirstOfDuplicateSections) {
  IniFile ini = With("[a]\r\nx=1\r\n[a]\r\nx=2\r\n");
  ini.WriteString("a", "x", "3");
  ini.WriteString("a", "y", "4");
  EXPECT_EQ(Text(), "[a]\r\nx=3\r\ny=4\r\n[a]\r\nx=2\r\n");
}

TEST_F(IniFileTest, ValuesAreWrittenAsGivenAndReadBackTrimmed) {
  IniFile ini(path);
  ini.WriteString("a", "blanks", "   ");
  ini.WriteString("a", "empty", "");
  EXPECT_EQ(Text(), "[a]\r\nblanks=   \r\nempty=\r\n");
  EXPECT_EQ(ini.ReadString("a", "blanks", "def"), "");
  EXPECT_EQ(ini.ReadString("a", "empty", "def"), "");
}

TEST_F(IniFileTest, ALineBreakInAValueCannotStartANewSection) {
  IniFile ini(path);
  ini.WriteString("a", "x", "one\r\n[b]\nkey=2");
  EXPECT_EQ(ini.ReadString("b", "key", "def"), "def");
  EXPECT_EQ(Text(), "[a]\r\nx=one  [b] key=2\r\n");
}

TEST_F(IniFileTest, LfFilesStayLf) {
  IniFile ini = With("[a]\nx=1\n");
  ini.WriteString("a", "y", "2");
  ini.WriteString("b", "z", "3");
  EXPECT_EQ(Text(), "[a]\nx=1\ny=2\n[b]\nz=3\n");
}

TEST_F(IniFileTest, TheFirstLineEndDecidesAndOtherLinesKeepTheirs) {
  IniFile ini = With("[a]\nx=1\r\n[b]\r\n");
  ini.WriteString("a", "y", "2");
  EXPECT_EQ(Text(), "[a]\nx=1\r\ny=2\n[b]\r\n");
}

TEST_F(IniFileTest, ALastLineWithoutEndGetsOneBeforeNewLines) {
  IniFile ini = With("[a]\r\nx=1");
  ini.WriteString("a", "y", "2");
  EXPECT_EQ(Text(), "[a]\r\nx=1\r\ny=2\r\n");
}

TEST_F(IniFileTest, OtherLinesAreKeptByteForByte) {
  const std::string before =
      "\xEF\xBB\xBF"
      "top=1\r\n[a]\r\n; comment \xE9\xE8\r\njunk line\r\nname=\xC5\xBD\xFF\x80 x\r\n"
      "\r\n[\xC3\x84]\r\nk=\xC3\xA4\r\n";
  IniFile ini = With(before);
  ini.WriteString("a", "x", "1");
  ini.WriteString("\xC3\x84", "k", "\xC3\xB6");
  EXPECT_EQ(Text(),
            "\xEF\xBB\xBF"
            "top=1\r\n[a]\r\n; comment \xE9\xE8\r\njunk line\r\nname=\xC5\xBD\xFF\x80 x\r\nx=1\r\n"
            "\r\n[\xC3\x84]\r\nk=\xC3\xB6\r\n");
}

TEST_F(IniFileTest, ByteOrderMarkIsKeptAndTheFirstSectionStillMatches) {
  IniFile ini = With("\xEF\xBB\xBF[a]\r\nx=1\r\n");
  ini.WriteString("a", "x", "2");
  EXPECT_EQ(Text(), "\xEF\xBB\xBF[a]\r\nx=2\r\n");
}

TEST_F(IniFileTest, EraseSectionRemovesItsLineAndKeys) {
  IniFile ini = With("[a]\r\nx=1\r\n[b]\r\ny=2\r\njunk\r\n\r\n[c]\r\nz=3\r\n");
  ini.EraseSection("B");
  EXPECT_EQ(Text(), "[a]\r\nx=1\r\n[c]\r\nz=3\r\n");
  EXPECT_EQ(ini.ReadString("b", "y", "def"), "def");
}

TEST_F(IniFileTest, EraseSectionRemovesEveryDuplicate) {
  IniFile ini = With("[a]\r\nx=1\r\n[b]\r\n[a]\r\nx=2\r\n");
  ini.EraseSection("a");
  EXPECT_EQ(Text(), "[b]\r\n");
  EXPECT_EQ(ini.ReadString("a", "x", "def"), "def");
}

TEST_F(IniFileTest, ErasingAnAbsentSectionWritesNothing) {
  IniFile missing(path);
  missing.EraseSection("a");
  EXPECT_FALSE(std::filesystem::exists(dir.Fs("t.ini")));
  IniFile ini = With("[a]\nx=1");
  ini.EraseSection("b");
  EXPECT_EQ(Text(), "[a]\nx=1");
}

// ---- failed writes ----

void ExpectWriteError(const IniWriteError& e, const std::string& path) {
  EXPECT_EQ(std::string(e.what()), "Unable to write to " + NativePath(path));
  EXPECT_EQ(e.path, path);
}

TEST_F(IniFileTest, WriteIntoAMissingFolderThrowsAndCreatesNothing) {
  const std::string target = dir.File("nofolder") + "\\t.ini";
  IniFile ini(target);
  try {
    ini.WriteString("a", "x", "1");
    FAIL() << "no IniWriteError";
  } catch (const IniWriteError& e) {
    ExpectWriteError(e, target);
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.Fs()));
}

TEST_F(IniFileTest, WriteOverAFolderThrowsAndLeavesTheFolder) {
  std::filesystem::create_directory(dir.Fs("t.ini"));
  WriteFile(dir.Fs("t.ini") / "inside.txt", "keep");
  EXPECT_THROW(IniFile(path).WriteString("a", "x", "1"), IniWriteError);
  EXPECT_EQ(ReadFile(dir.Fs("t.ini") / "inside.txt"), "keep");
}

TEST_F(IniFileTest, WriteInAReadOnlyFolderThrowsAndLeavesTheFileAsItWas) {
#ifdef _WIN32
  GTEST_SKIP() << "a read-only folder still takes new files on Windows";
#else
  const std::string before = "[a]\r\nx=1\r\n";
  IniFile ini = With(before);
  dbtest::LockedFolder lock(dir.Fs());
  if (!lock.Locked()) GTEST_SKIP() << "cannot make a read-only folder here";
  try {
    ini.WriteString("a", "x", "2");
    FAIL() << "no IniWriteError";
  } catch (const IniWriteError& e) {
    ExpectWriteError(e, path);
  }
  EXPECT_THROW(ini.WriteString("b", "y", "1"), IniWriteError);
  EXPECT_THROW(ini.EraseSection("a"), IniWriteError);
  EXPECT_EQ(Text(), before);
  EXPECT_EQ(ini.ReadString("a", "x", ""), "1");
  // No temporary file is left behind either.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Fs())) ++files;
  EXPECT_EQ(files, 1);
#endif
}

TEST_F(IniFileTest, WriteToAReadOnlyFileThrowsAndLeavesItAsItWas) {
  const std::string before = "[a]\r\nx=1\r\n";
  IniFile ini = With(before);
  dbtest::MakeReadOnlyFile(dir.Fs("t.ini"), true);
  try {
    ini.WriteString("a", "x", "2");
    FAIL() << "no IniWriteError";
  } catch (const IniWriteError& e) {
    ExpectWriteError(e, path);
  }
  EXPECT_THROW(ini.EraseSection("a"), IniWriteError);
  dbtest::MakeReadOnlyFile(dir.Fs("t.ini"), false);
  EXPECT_EQ(Text(), before);
  ini.WriteString("a", "x", "2");
  EXPECT_EQ(Text(), "[a]\r\nx=2\r\n");
}

// ---- the in-memory document ----

TEST(IniDocumentTest, ManyChangesAreSavedTogether) {
  TempDir dir;
  const std::string path = dir.File("d.ini");
  WriteFile(path, "[a]\nx=1\n");
  IniDocument doc;
  ASSERT_TRUE(doc.Load(path));
  doc.WriteString("a", "y", "2");
  EXPECT_TRUE(doc.EraseSection("a"));
  EXPECT_FALSE(doc.EraseSection("a"));
  doc.WriteInteger("b", "n", 3);
  EXPECT_EQ(ReadFile(path), "[a]\nx=1\n");  // nothing written before Save
  doc.Save(path);
  EXPECT_EQ(ReadFile(path), "[b]\nn=3\n");
  EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{"b"});
  EXPECT_TRUE(doc.SectionExists("B"));
}

TEST(IniDocumentTest, ParseAndTextRoundTripExactly) {
  const std::string texts[] = {"", "\xEF\xBB\xBF", "x", "[a]\r\n\r\n", "a\nb\r\nc", "\n\n",
                               "[a]\r\r\nk=v\r\n"};
  for (const std::string& text : texts) {
    IniDocument doc;
    doc.Parse(text);
    EXPECT_EQ(doc.Text(), text);
  }
}

}  // namespace
