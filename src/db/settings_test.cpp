#include "db/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "support/db_test_util.h"
#include "main_func/files.h"

using dbtest::Console;
using dbtest::TempDir;
using dbtest::WriteFile;

namespace {

class ReadDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }

  void Options(const std::string& text) { WriteFile(dir.Fs("options.ini"), text); }
  void DbIni(const std::string& text, const std::string& folder = "db") {
    std::filesystem::create_directories(dir.Fs(folder));
    WriteFile(dir.Fs(folder) / "db.ini", text);
  }
  // Runs ReadDatabase on the folder and returns what it printed.
  std::string Run(const std::string& input = "") {
    Console console(input);
    ReadDatabaseAt(dir.Dir());
    inputLeft = console.InputLeft();
    return console.Output();
  }

  TempDir dir;
  std::string inputLeft;
};

TEST_F(ReadDatabaseTest, WithoutOptionsIniTheDefaultsApply) {
  DbIni("[version]\r\nversion=2.5\r\n[categories]\r\ncount=2\r\n1=Linux\r\n2=Own\r\n");
  EXPECT_EQ(Run(), "Reading db ...\nDB version 2.5\n > Linux\n > Own\n");
  EXPECT_EQ(AppDir, dir.Dir());
  EXPECT_EQ(DbDir, "db");
  EXPECT_EQ(ImagesDir, "images");
  EXPECT_FALSE(DisableKqemu);
  EXPECT_FALSE(DisableRamCheck);
  EXPECT_EQ(DbVersion, "2.5");
  EXPECT_EQ(CategoryCount, 2);
  EXPECT_EQ(CategoryNames[1], "Linux");
  EXPECT_EQ(CategoryNames[2], "Own");
  EXPECT_EQ(CategoryNames[3], "");
}

TEST_F(ReadDatabaseTest, OptionsIniNamesTheFolders) {
  Options("[paths]\r\ndb=mydb\r\nimages=imgs\r\n");
  DbIni("[version]\r\nversion=7\r\n", "mydb");
  EXPECT_EQ(Run(), "Reading db ...\nDB version 7\n");
  EXPECT_EQ(DbDir, "mydb");
  EXPECT_EQ(ImagesDir, "imgs");
}

TEST_F(ReadDatabaseTest, DbFolderOutsideTheInstallation) {
  TempDir outer;
  std::filesystem::create_directories(outer.Fs("x") / "y");
  std::filesystem::create_directories(outer.Fs("Data") / "db");
  WriteFile(outer.Fs("x") / "y" / "options.ini", "[paths]\r\ndb=..\\..\\Data\\db\r\n");
  WriteFile(outer.Fs("Data") / "db" / "db.ini", "[version]\r\nversion=far\r\n");
  const std::string appDir = (outer.Fs("x") / "y").string() + static_cast<char>(std::filesystem::path::preferred_separator);
  Console console;
  ReadDatabaseAt(appDir);
  EXPECT_EQ(console.Output(), "Reading db ...\nDB version far\n");
  EXPECT_EQ(DbDir, "..\\..\\Data\\db");
}

TEST_F(ReadDatabaseTest, ADbFolderWithTrailingBackslashStillFindsDbIni) {
  Options("[paths]\r\ndb=db\\\r\n");
  DbIni("[version]\r\nversion=3\r\n");
  EXPECT_EQ(Run(), "Reading db ...\nDB version 3\n");
  EXPECT_EQ(DbDir, "db\\");
}

TEST_F(ReadDatabaseTest, FlagsAreIntegers) {
  DbIni("");
  const struct {
    const char* value;
    bool expected;
  } cases[] = {{"1", true}, {"2", true}, {"0x1", true}, {"0", false}, {"", false}, {"true", false}};
  for (const auto& c : cases) {
    Options(std::string("[options]\r\ndisablekqemu=") + c.value + "\r\ndisableramcheck=" + c.value +
            "\r\n");
    Run();
    EXPECT_EQ(DisableKqemu, c.expected) << "value '" << c.value << "'";
    EXPECT_EQ(DisableRamCheck, c.expected) << "value '" << c.value << "'";
  }
}

TEST_F(ReadDatabaseTest, MissingDbIniIsReportedWaitsForOneLineAndGoesOn) {
  Options("[paths]\r\ndb=nodb\r\n");
  const std::string out = Run("\nnext answer\n");
  const std::string dbPath = dir.Dir() + "nodb\\db.ini";
  EXPECT_EQ(out, "Reading db ...\n * ERROR File " + NativePath(dbPath) +
                     " not exists!\nDB version 0\n");
  EXPECT_EQ(inputLeft, "next answer\n");
  EXPECT_EQ(DbVersion, "0");
  EXPECT_EQ(CategoryCount, 0);
}

TEST_F(ReadDatabaseTest, MissingDbIniDoesNotWaitAtTheEndOfInput) {
  const std::string out = Run("");
  EXPECT_EQ(out, "Reading db ...\n * ERROR File " + NativePath(dir.Dir() + "db\\db.ini") +
                     " not exists!\nDB version 0\n");
}

TEST_F(ReadDatabaseTest, CategoryKeysThatAreMissingOrEmptyLeaveTheirSlotEmpty) {
  DbIni("[categories]\r\ncount=4\r\n1=Linux\r\n3=BSD\r\n4=\r\n");
  EXPECT_EQ(Run(), "Reading db ...\nDB version 0\n > Linux\n > BSD\n");
  EXPECT_EQ(CategoryCount, 4);
  EXPECT_EQ(CategoryNames[1], "Linux");
  EXPECT_EQ(CategoryNames[2], "");
  EXPECT_EQ(CategoryNames[3], "BSD");
  EXPECT_EQ(CategoryNames[4], "");
}

TEST_F(ReadDatabaseTest, CountMissingNotANumberOrNegativeGivesNoCategories) {
  const struct {
    const char* text;
    int expected;
  } cases[] = {{"", 0}, {"count=abc\r\n", 0}, {"count=1e1\r\n", 0}, {"count=-3\r\n", -3}};
  for (const auto& c : cases) {
    ResetSettings();
    DbIni(std::string("[categories]\r\n") + c.text + "1=Linux\r\n");
    EXPECT_EQ(Run(), "Reading db ...\nDB version 0\n") << c.text;
    EXPECT_EQ(CategoryCount, c.expected) << c.text;
    EXPECT_EQ(CategoryNames[1], "") << c.text;
  }
}

TEST_F(ReadDatabaseTest, ACountAboveEightReadsOnlyTheEightSlots) {
  std::string text = "[categories]\r\ncount=12\r\n";
  std::string expected = "Reading db ...\nDB version 0\n";
  for (int i = 1; i <= 12; ++i) {
    text += std::to_string(i) + "=C" + std::to_string(i) + "\r\n";
    if (i <= 8) expected += " > C" + std::to_string(i) + "\n";
  }
  DbIni(text);
  EXPECT_EQ(Run(), expected);
  EXPECT_EQ(CategoryCount, 8);
  EXPECT_EQ(CategoryNames[8], "C8");
}

TEST_F(ReadDatabaseTest, CountInHexadecimal) {
  DbIni("[categories]\r\ncount=$2\r\n1=A\r\n2=B\r\n");
  EXPECT_EQ(Run(), "Reading db ...\nDB version 0\n > A\n > B\n");
  EXPECT_EQ(CategoryCount, 2);
}

TEST_F(ReadDatabaseTest, ReadDatabaseUsesTheProgramsOwnFolder) {
  Console console;
  ReadDatabase();
  EXPECT_EQ(AppDir, ExeDir());
  EXPECT_EQ(console.Output().rfind("Reading db ...\n", 0), 0u);
}

TEST(SettingsTest, ResetSettingsRestoresTheStartValues) {
  AppDir = "x";
  DbDir = "d";
  ImagesDir = "i";
  DisableKqemu = true;
  DisableRamCheck = true;
  DbVersion = "9";
  CategoryCount = 3;
  CategoryNames[2] = "Linux";
  ResetSettings();
  EXPECT_EQ(AppDir, "");
  EXPECT_EQ(DbDir, "");
  EXPECT_EQ(ImagesDir, "");
  EXPECT_FALSE(DisableKqemu);
  EXPECT_FALSE(DisableRamCheck);
  EXPECT_EQ(DbVersion, "");
  EXPECT_EQ(CategoryCount, 0);
  for (const std::string& name : CategoryNames) EXPECT_EQ(name, "");
}

}  // namespace
