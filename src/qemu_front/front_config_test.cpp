#include "qemu_front/front_config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"
namespace {

namespace fs = std::filesystem;

class FrontConfigTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& text) {
    temp_.Write("qemu.ini", text);
    return temp_.File("qemu.ini");
  }
  TempDir temp_;
  fs::path dir_ = temp_.Fs();
};

TEST_F(FrontConfigTest, ReadsTheQemuSection) {
  std::string path = Write(
      "; comment\r\n[qemu]\r\nsystem=/usr/bin/qemu-system-x86_64\r\n"
      "extra=-display none -serial \"file:/tmp/a b.txt\"\r\nDisplay = curses \r\naudio=none\r\ncpus= 4 \r\n"
      "[other]\r\nsystem=no\r\n");
  FrontConfig c = ReadFrontConfig(path);
  EXPECT_EQ(c.system, "/usr/bin/qemu-system-x86_64");
  EXPECT_EQ(c.extra, "-display none -serial \"file:/tmp/a b.txt\"");
  EXPECT_EQ(c.display, "curses");
  EXPECT_EQ(c.audio, "none");
  EXPECT_EQ(c.cpus, "4");
}

TEST_F(FrontConfigTest, MissingFileOrKeysLeaveEverythingEmpty) {
  FrontConfig missing = ReadFrontConfig((dir_ / "none.ini").string());
  EXPECT_EQ(missing.system, "");
  EXPECT_EQ(missing.extra, "");
  EXPECT_EQ(missing.display, "");
  EXPECT_EQ(missing.audio, "");
  FrontConfig partial = ReadFrontConfig(Write("[qemu]\nextra=-m 64\n"));
  EXPECT_EQ(partial.system, "");
  EXPECT_EQ(partial.extra, "-m 64");
}

}  // namespace
