// Start-up of the main program: the loading banner, the settings and catalogue report, and
// the first main menu, each compared as the whole standard output.
#include <gtest/gtest.h>

#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/screens.h"
#include "support/transcript.h"

namespace {

TEST(Startup, WithoutOptionsIniReadsTheCatalogueFromDb) {
  Fixture fx;
  fx.Write("db\\db.ini", DbIni("2024.05", {"Linux", "BSD"}));
  // A second catalogue in the default images folder's place proves which one is read.
  fx.Write("images\\db.ini", DbIni("wrong", {"Wrong"}));

  RunResult run = fx.Run("0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("2024.05", {"Linux", "BSD"})) +
                        MainScreen({"Linux", "BSD"}),
                    run.out);
  EXPECT_EQ(run.err, "");
}

TEST(Startup, DbFolderMayLieOutsideTheInstallation) {
  Fixture fx;
  fx.Write("options.ini", IniText({"[paths]", "db=..\\data\\db"}));
  fx.Write("..\\data\\db\\db.ini", DbIni("7", {"Outside"}));
  fx.Write("db\\db.ini", DbIni("inside", {"Inside"}));

  RunResult run = fx.Run("0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("7", {"Outside"})) + MainScreen({"Outside"}), run.out);
}

TEST(Startup, MissingDbIniIsReportedAndWaitsForEnter) {
  Fixture fx;
  // The line after the error is taken by the wait; only then does the menu read "9".
  RunResult run = fx.Run("9\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("0", {}, fx.Path("db\\db.ini"))) + MainScreen({}),
                    run.out);
}

TEST(Startup, MissingDbIniInTheConfiguredFolderShowsThatPath) {
  Fixture fx;
  fx.Write("options.ini", IniText({"[paths]", "db=..\\data\\db"}));
  fx.Write("db\\db.ini", DbIni("inside", {"Inside"}));

  RunResult run = fx.Run("\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("0", {}, fx.Path("..\\data\\db\\db.ini"))) + MainScreen({}),
                    run.out);
}

TEST(Startup, MissingCategoryKeysLeaveTheirSlotsEmpty) {
  Fixture fx;
  fx.Write("db\\db.ini", IniText({"[version]", "version=3", "[categories]", "count=3",
                                  "1=Alpha", "3=Gamma"}));

  RunResult run = fx.Run("0\n");

  EXPECT_EQ(run.exitCode, 0);
  // The empty slot keeps its number: Gamma stays category 3, entry 4 of the menu.
  EXPECT_TRANSCRIPT(Startup(DbReport("3", {"Alpha", "Gamma"})) + MainScreen({"Alpha", "", "Gamma"}),
                    run.out);
}

TEST(Startup, DbIniWithoutVersionOrCountShowsVersionZeroAndNoCategories) {
  Fixture fx;
  fx.Write("db\\db.ini", IniText({"[categories]", "count=many", "1=Alpha"}));

  RunResult run = fx.Run("0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("0", {})) + MainScreen({}), run.out);
}

TEST(Startup, EndOfInputEndsTheProgramWithExitCodeZero) {
  Fixture fx;
  fx.Write("db\\db.ini", DbIni("1", {"Linux"}));

  RunResult run = fx.Run("");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("1", {"Linux"})) + MainScreen({"Linux"}), run.out);
  EXPECT_EQ(run.err, "");
}

TEST(Startup, EndOfInputDuringTheMissingDbIniWaitStillEndsCleanly) {
  Fixture fx;

  RunResult run = fx.Run("");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("0", {}, fx.Path("db\\db.ini"))) + MainScreen({}), run.out);
}

TEST(Startup, OnlyTheFirstEightCategoriesAreRead) {
  Fixture fx;
  std::vector<std::string> names;
  for (int i = 1; i <= 10; ++i) names.push_back("Cat" + std::to_string(i));
  fx.Write("db\\db.ini", DbIni("9", names));
  const std::vector<std::string> firstEight(names.begin(), names.begin() + 8);

  // 10 is Options and 11 Help with eight categories; 12 is refused.
  RunResult run = fx.Run("12\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("9", firstEight)) + MainScreen(firstEight) + WrongChoice(),
                    run.out);
}

TEST(Startup, ToolsRunInTheInstallationFolderWhereverTheProgramWasStarted) {
  Fixture fx;
  fx.Write("db\\db.ini", DbIni("1", {"Linux"}));
  // Without an updater the self-check fetches one with wget, which inherits the program's
  // working directory: the file it leaves there shows which folder that was.
  fx.Remove("updater\\updater.exe");
  fx.InstallTool("wget\\wget.exe", "create started_here.txt 1\n");

  RunResult run = fx.Run("\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_FALSE(fx.ToolLog().empty());
  EXPECT_TRUE(fx.Exists("started_here.txt"));
  EXPECT_FALSE(std::filesystem::exists(fx.WorkDir() / "started_here.txt"));
}

}  // namespace
