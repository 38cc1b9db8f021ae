#include "updater/versions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"
#include "updater/server_reach.h"

namespace {

class VersionsTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(temp_.Fs("updater")); }
  void Write(const std::string& rel, const std::string& text) { temp_.Write(rel, text); }

  TempDir temp_;
  std::string base_ = temp_.Dir();
};

TEST_F(VersionsTest, MissingFilesGiveNumberOneAndTextOnePointZero) {
  UpdateVersions v;
  EXPECT_EQ(ReadLocalVersions(base_, v), "db");
  ReadServerVersions(base_ + "updater/temp/ver.ini", v);
  for (const PackageVersion* p : {&v.program, &v.database, &v.updater, &v.tools}) {
    EXPECT_EQ(p->local, 1);
    EXPECT_EQ(p->server, 1);
    EXPECT_EQ(p->text, "1.0");
    EXPECT_FALSE(p->Newer());
  }
}

TEST_F(VersionsTest, LocalNumbersComeFromEachPackagesOwnFile) {
  Write("ver.ini", "[version]\r\naver=3\r\n");
  Write("options.ini", "[paths]\r\ndb=data\\db\r\n");
  Write("data/db/db.ini", "[categories]\r\ncount=2\r\n[version]\r\nversion=2026.01\r\naver=7\r\n");
  Write("db/db.ini", "[version]\r\naver=99\r\n");
  Write("updater/ver.ini", "[version]\r\naver=0x10\r\n");
  Write("updater/3ver.ini", "[Version]\r\nAVER = 4\r\n");

  UpdateVersions v;
  EXPECT_EQ(ReadLocalVersions(base_, v), "data\\db");
  EXPECT_EQ(v.program.local, 3);
  EXPECT_EQ(v.database.local, 7);
  EXPECT_EQ(v.updater.local, 16);
  EXPECT_EQ(v.tools.local, 4);
}

TEST_F(VersionsTest, ServerFileGivesNumbersAndTextsPerSection) {
  Write("updater/temp/ver.ini",
        "[version]\r\naver=5\r\nversion=1.5.0\r\nsha256=AB01\r\n"
        "[db]\r\naver=abc\r\nversion=2026.12\r\n"
        "[updater]\r\nversion=1.3.0\r\n"
        "[3rdapps]\r\naver=-2\r\nversion=\r\n");
  UpdateVersions v;
  ReadServerVersions(base_ + "updater/temp/ver.ini", v);
  EXPECT_EQ(v.program.server, 5);
  EXPECT_EQ(v.program.text, "1.5.0");
  EXPECT_EQ(v.program.sha256, "AB01");
  EXPECT_EQ(v.database.sha256, "");  // no key: the package is not checked
  EXPECT_EQ(v.database.server, 1);  // not an integer
  EXPECT_EQ(v.database.text, "2026.12");
  EXPECT_EQ(v.updater.server, 1);
  EXPECT_EQ(v.updater.text, "1.3.0");
  EXPECT_EQ(v.tools.server, -2);
  EXPECT_EQ(v.tools.text, "");  // present but empty: shown as it is
}

// A version file above 1 MiB (here a sparse one of 200 MB, readable at its start) is never
// read: the reason says so, and its numbers are not taken.
TEST_F(VersionsTest, AVersionFileAboveOneMebibyteIsNotRead) {
  Write("updater/temp/ver.ini", "[version]\r\naver=5\r\nversion=1.5.0\r\n");
  Write("ver.ini", "[version]\r\naver=3\r\n");
  UpdateVersions v;
  ReadServerVersions(base_ + "updater/temp/ver.ini", v);
  ReadLocalVersions(base_, v);
  ASSERT_EQ(v.program.server, 5);
  ASSERT_EQ(v.program.local, 3);
  EXPECT_EQ(UnreachableReason(0, base_ + "updater/temp/ver.ini"), "");

  std::filesystem::resize_file(temp_.Fs("updater/temp/ver.ini"), (1 << 20) + 1);
  std::filesystem::resize_file(temp_.Fs("ver.ini"), 200ull << 20);
  v = UpdateVersions{};
  ReadServerVersions(base_ + "updater/temp/ver.ini", v);
  ReadLocalVersions(base_, v);
  EXPECT_EQ(v.program.server, 1);
  EXPECT_EQ(v.program.text, "1.0");
  EXPECT_EQ(v.program.local, 1);
  EXPECT_EQ(UnreachableReason(0, base_ + "updater/temp/ver.ini"),
            "the version file is larger than its limit of 1 MiB");
  std::filesystem::resize_file(temp_.Fs("updater/temp/ver.ini"), 1 << 20);
  EXPECT_EQ(UnreachableReason(0, base_ + "updater/temp/ver.ini"), "");
}

TEST(PackageVersion, OnlyAGreaterServerNumberIsNewer) {
  PackageVersion p;
  p.local = 5;
  p.server = 5;
  EXPECT_FALSE(p.Newer());
  p.server = 4;
  EXPECT_FALSE(p.Newer());
  p.server = 6;
  EXPECT_TRUE(p.Newer());
  // Signed comparison: a negative local number is older than 1.
  p.local = -3;
  p.server = 1;
  EXPECT_TRUE(p.Newer());
}

}  // namespace
