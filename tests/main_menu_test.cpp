// The main menu, a category's OS list and its previous versions, walked through the whole
// program with scripted answers and compared as the whole standard output.
#include <gtest/gtest.h>

#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/screens.h"
#include "support/transcript.h"

namespace {

// An installation whose catalogue holds the given categories; each category file is written
// by the case itself.
void WriteCatalogue(const Fixture& fx, const std::vector<std::string>& categories) {
  fx.Write("db\\db.ini", DbIni("5", categories));
}

std::string StartupWith(const std::vector<std::string>& categories) {
  return Startup(DbReport("5", categories));
}

TEST(MainMenu, ThreeCategoriesAcceptOneToSixAndRefuseSeven) {
  Fixture fx;
  const std::vector<std::string> cats = {"Linux", "BSD", "Other"};
  WriteCatalogue(fx, cats);

  RunResult run = fx.Run("7\n-1\nseven\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartupWith(cats) + MainScreen(cats) + WrongChoice() + WrongChoice() +
                        WrongChoice(),
                    run.out);
}

TEST(MainMenu, CategoryWithFourEntriesAndNoPreviousVersionsAcceptsZeroToFour) {
  Fixture fx;
  WriteCatalogue(fx, {"Linux"});
  const std::vector<OsEntry> linux = SampleList("Linux", 4);
  fx.Write("db\\Linux.ini", CategoryIni(linux));

  // 5 would be "Show previous versions", which this category does not offer.
  RunResult run = fx.Run("2\n5\n0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartupWith({"Linux"}) + MainScreen({"Linux"}) +
                        CategoryScreen(DisplayNames(linux), false) + WrongChoice() +
                        MainScreen({"Linux"}),
                    run.out);
}

TEST(MainMenu, PreviousVersionsAreOfferedAfterTheEntriesAndListedOnTheirOwnScreen) {
  Fixture fx;
  WriteCatalogue(fx, {"Linux", "BSD"});
  const std::vector<OsEntry> current = SampleList("BSD", 4);
  const std::vector<OsEntry> old = {SampleOs("OldBSD", "1.0"), SampleOs("OldBSD", "2.0")};
  fx.Write("db\\BSD.ini", CategoryIni(current, old));

  // Category 2 (BSD, menu entry 3); 6 is refused, 5 shows the previous versions, where only
  // 0 to 2 are accepted; 0 goes straight back to the main menu.
  RunResult run = fx.Run("3\n6\n5\n3\n0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartupWith({"Linux", "BSD"}) + MainScreen({"Linux", "BSD"}) +
                        CategoryScreen(DisplayNames(current), true) + WrongChoice() +
                        PreviousVersionsScreen(DisplayNames(old)) + WrongChoice() +
                        MainScreen({"Linux", "BSD"}),
                    run.out);
}

TEST(MainMenu, CategoryWithOnlyPreviousVersionsOffersThemAsEntryOne) {
  Fixture fx;
  WriteCatalogue(fx, {"Retro"});
  const std::vector<OsEntry> old = SampleList("Retro", 2);
  fx.Write("db\\Retro.ini", CategoryIni({}, old));

  RunResult run = fx.Run("2\n2\n1\n0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartupWith({"Retro"}) + MainScreen({"Retro"}) +
                        CategoryScreen({}, true) + WrongChoice() +
                        PreviousVersionsScreen(DisplayNames(old)) + MainScreen({"Retro"}),
                    run.out);
}

TEST(MainMenu, MissingCategoryFileIsReportedAndLeadsBackToTheMainMenu) {
  Fixture fx;
  WriteCatalogue(fx, {"Linux", "Ghost"});
  fx.Write("db\\Linux.ini", CategoryIni(SampleList("Linux", 1)));

  // "2" would be refused by an empty OS list; here the pause takes the line instead.
  RunResult run = fx.Run("3\n2\n0\n");

  // Reported twice by the list reader, and by nothing else before the pause.
  const std::string missing = MissingFile(fx.Path("db\\Ghost.ini"));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartupWith({"Linux", "Ghost"}) + MainScreen({"Linux", "Ghost"}) +
                        MainHeader() + "\n" + missing + missing + OperationFailed() +
                        MainScreen({"Linux", "Ghost"}),
                    run.out);
}

TEST(MainMenu, EntriesWithMissingKeysShowTheReadersDefaults) {
  Fixture fx;
  WriteCatalogue(fx, {"Odd"});
  // count promises three entries; the second lacks its version, the third its section.
  fx.Write("db\\Odd.ini", IniText({"[main]", "count=3", "[1]", "name=First", "version=1",
                                   "[2]", "name=Second"}));

  RunResult run = fx.Run("2\n0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartupWith({"Odd"}) + MainScreen({"Odd"}) +
                        CategoryScreen({"First 1", "Second ERROR", "ERROR ERROR"}, false) +
                        MainScreen({"Odd"}),
                    run.out);
}

TEST(MainMenu, EndOfInputInsideACategoryEndsTheProgram) {
  Fixture fx;
  WriteCatalogue(fx, {"Linux"});
  const std::vector<OsEntry> linux = SampleList("Linux", 2);
  fx.Write("db\\Linux.ini", CategoryIni(linux));

  // The end of input answers 0 at every prompt: the category returns, and so does the menu.
  RunResult run = fx.Run("2\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartupWith({"Linux"}) + MainScreen({"Linux"}) +
                        CategoryScreen(DisplayNames(linux), false) + MainScreen({"Linux"}),
                    run.out);
}

}  // namespace
