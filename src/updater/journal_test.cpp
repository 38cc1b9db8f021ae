#include "updater/journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "main_func/files.h"
#include "support/console_capture.h"
#include "support/failing_file_ops.h"
#include "support/temp_dir.h"
#include "updater/install.h"

namespace {

using Tree = std::map<std::string, std::string>;

// A package over an installation: files replaced (one in a folder of its own), a file in a
// folder the package brings, a folder replaced whole, and the version file. "" is no file.
const Tree Old = {{"a.txt", "old"}, {"sub/b.txt", "old"}, {"c/n.txt", ""},
                   {"wget/wget.exe", "old"}, {"wget/old.txt", "old"}, {"ver.ini", "1"}};
const Tree New = {{"a.txt", "new"}, {"sub/b.txt", "new"}, {"c/n.txt", "new"},
                   {"wget/wget.exe", "new"}, {"wget/old.txt", ""}, {"ver.ini", "2"}};
const PackagePlan Plan = {"", "ver.ini", {"wget"}};
const char* const PutBackAtStart =
    " > An update was interrupted; the previous files were put back. \n";

std::string Base(const TempDir& t) { return t.Dir() + "inst/"; }

void Stage(const TempDir& t) {
  for (const auto& [file, text] : Old)
    if (!text.empty()) t.Write("inst/" + file, text);
  for (const auto& [file, text] : New)
    if (!text.empty()) t.Write("inst/updater/temp/stage/" + file, text);
}

Tree Installed(const TempDir& t) {
  Tree files;
  for (const auto& entry : Old) files[entry.first] = t.Read("inst/" + entry.first);
  // The folder the package brings goes again with it.
  if (!std::filesystem::exists(t.Fs("inst/c"))) files["c/n.txt"] = "";
  else if (files["c/n.txt"].empty()) files["c/n.txt"] = "(folder)";
  return files;
}

// Every file operation of a package install fails in turn, alone (a full disk) and with
// every later one (a kill there). The install is then wholly new, or wholly old whenever it
// says the files were put back, and the next start puts back whatever a cut left mixed.
TEST(UpdateJournal, EachFailingFileOperationLeavesThePackageWhollyOldOrWhollyNew) {
  for (const bool cut : {false, true}) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE((cut ? "cut at operation " : "operation ") + std::to_string(n));
      TempDir t;
      Stage(t);
      std::string failure;
      bool installed = false, hit = false;
      {
        FailingFileOps ops(n, cut);
        installed = InstallStaged(Base(t), Plan, failure);
        hit = ops.Hit();
      }
      const bool pending = UpdateJournalPending(Base(t));
      EXPECT_EQ(installed, failure.empty());
      if (installed || !pending) {
        EXPECT_EQ(Installed(t), installed ? New : Old);
      }
      if (!cut) {
        EXPECT_FALSE(pending);  // alone, a fault is always undone at once
      }

      Console console;
      EXPECT_TRUE(RollBackInterruptedUpdate(Base(t)));
      EXPECT_EQ(console.Output(), pending ? PutBackAtStart : "");
      EXPECT_EQ(Installed(t), installed ? New : Old);
      if (!hit) {
        EXPECT_TRUE(installed);
        EXPECT_GT(n, 10);  // the run above has that many operations at least
        break;
      }
    }
  }
}

// A journal names each step before it is taken; read back by another run it undoes them
// newest first, and a committed one leaves neither journal nor backups.
TEST(UpdateJournal, StepsAreUndoneFromTheJournalAloneOrKeptByACommit) {
  TempDir t;
  t.Write("inst/a.txt", "old");
  t.Write("inst/keep/k.txt", "old");
  std::filesystem::create_directories(t.Fs("inst/updater/temp"));
  UpdateJournal journal(Base(t));
  ASSERT_TRUE(journal.Add({JournalEntry::AsideDir, "keep", true}));
  ASSERT_TRUE(MoveWhenFree(Base(t) + "keep", journal.BackupPath(0)));
  ASSERT_TRUE(journal.Add({JournalEntry::NewDir, "d", false}));
  ASSERT_TRUE(MakeDir(Base(t) + "d"));
  ASSERT_TRUE(journal.Add({JournalEntry::File, "a.txt", true}));
  ASSERT_TRUE(MoveWhenFree(Base(t) + "a.txt", journal.BackupPath(2)));
  ASSERT_TRUE(journal.Add({JournalEntry::File, "d\\n.txt", false}));
  t.Write("inst/a.txt", "new");
  t.Write("inst/d/n.txt", "new");
  t.Write("inst/keep/k.txt", "new");
  EXPECT_TRUE(UpdateJournalPending(Base(t)));

  UpdateJournal later(Base(t));
  ASSERT_TRUE(later.Load());
  EXPECT_TRUE(later.RollBack());
  EXPECT_EQ(t.Read("inst/a.txt"), "old");
  EXPECT_EQ(t.Read("inst/keep/k.txt"), "old");
  EXPECT_FALSE(std::filesystem::exists(t.Fs("inst/d")));
  EXPECT_FALSE(UpdateJournalPending(Base(t)));
  EXPECT_FALSE(std::filesystem::exists(t.Fs("inst/updater/temp/backup")));

  UpdateJournal next(Base(t));
  ASSERT_TRUE(next.Add({JournalEntry::File, "a.txt", true}));
  ASSERT_TRUE(MoveWhenFree(Base(t) + "a.txt", next.BackupPath(0)));
  t.Write("inst/a.txt", "new");
  EXPECT_TRUE(next.Commit());
  EXPECT_FALSE(UpdateJournalPending(Base(t)));
  EXPECT_FALSE(later.Load());
  EXPECT_FALSE(std::filesystem::exists(t.Fs("inst/updater/temp/backup")));
  EXPECT_EQ(t.Read("inst/a.txt"), "new");
}

}  // namespace
