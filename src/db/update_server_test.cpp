#include "db/update_server.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "main_func/addresses.h"

namespace {

class UpdateServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("qh_update_server_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    appDir_ = dir_.string() + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void WriteOptions(const std::string& text) {
    std::ofstream(dir_ / "options.ini", std::ios::binary) << text;
  }

  std::filesystem::path dir_;
  std::string appDir_;
};

TEST_F(UpdateServerTest, BuiltInServerWithoutOptionsOrKey) {
  EXPECT_EQ(UpdateServer(appDir_), UpdateServerUrl);
  WriteOptions("[paths]\r\ndb=db\r\n[update]\r\nother=1\r\n");
  EXPECT_EQ(UpdateServer(appDir_), UpdateServerUrl);
  WriteOptions("[update]\r\nserver=\r\n");
  EXPECT_EQ(UpdateServer(appDir_), UpdateServerUrl);
}

TEST_F(UpdateServerTest, InstallationNamesItsOwnServer) {
  WriteOptions("[Update]\r\nServer = http://127.0.0.1:8123/\r\n");
  EXPECT_EQ(UpdateServer(appDir_), "http://127.0.0.1:8123/");
}

TEST_F(UpdateServerTest, MissingFinalSlashIsAdded) {
  WriteOptions("[update]\r\nserver=http://mirror.example.net/qh\r\n");
  EXPECT_EQ(UpdateServer(appDir_), "http://mirror.example.net/qh/");
}

}  // namespace
