#include "updater/update_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Where each package comes from and goes to, what a failure leaves as it was, and what is
// set aside whole: the database into the configured folder keeping the user's Own.ini, the
// tools replacing their folders, the version file of each moved last.
TEST(PackageFor, EachPackageHasItsSourcePlanAndWhatStaysOnFailure) {
  struct Row {
    PackageKind kind;
    std::string serverDir, yes, dest, versionFile, notUpdated;
    std::vector<std::string> asideDirs;
    bool keepsOwnIni;
    std::size_t executables;
  };
  for (const Row& row : std::vector<Row>{
           {PackageKind::Program, "upt/prg/", "-Y", "", "ver.ini", "the program was", {}, false, 1},
           {PackageKind::Database, "upt/db/", "-y", "..\\data\\", "db.ini", "the database was", {},
            true, 0},
           {PackageKind::Tools, "upt/3/", "-y", "", "updater\\3ver.ini", "3rd party apps were",
            {"qemu", "kqemu", "wget"}, false, 3}}) {
    SCOPED_TRACE(row.serverDir);
    const UpdatePackage p = PackageFor(row.kind, "..\\data");
    EXPECT_EQ(p.serverDir, row.serverDir);
    EXPECT_EQ(p.yes, row.yes);
    EXPECT_EQ(p.plan.dest, row.dest);
    EXPECT_EQ(p.plan.versionFile, row.versionFile);
    EXPECT_EQ(p.plan.asideDirs, row.asideDirs);
    EXPECT_EQ(p.plan.keepsOwnIni, row.keepsOwnIni);
    EXPECT_EQ(p.notUpdated, row.notUpdated);
    EXPECT_EQ(p.executables.size(), row.executables);
  }
}

}  // namespace
