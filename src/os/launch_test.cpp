// The launch screen's building blocks: title box, memory menu, host line, accelerator and
// the memory check.
#include "os/launch.h"

#include <gtest/gtest.h>

#include <vector>

#include "db/settings.h"
#include "main_func/sysinfo.h"
#include "support/launch_test_util.h"

namespace {

using launchtest::Console;
using launchtest::TempInstall;

constexpr uint64_t MB = 1024 * 1024;

uint64_t Free1000Mb() { return 1000 * MB; }
uint64_t Free1000MbAndABit() { return 1000 * MB + MB - 1; }
uint64_t FreeUnknown() { return 0; }
uint64_t FreePlenty() { return 64 * 1024 * MB; }

int readerCalls = 0;
uint64_t CountingReader() {
  ++readerCalls;
  return 1000 * MB;
}

// Replaces the free-memory reader for one test.
class RamCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = ReadAvailPhys;
    HostIs64Bit = false;
    ResetSettings();
  }
  void TearDown() override {
    ReadAvailPhys = saved_;
    ResetSettings();
  }
  // Runs the check and returns what it wrote.
  std::string Check(int megabytes, bool& passed) {
    Console console;
    passed = CheckRamForQemu(megabytes);
    return console.Output();
  }

 private:
  AvailPhysReader saved_ = nullptr;
};

TEST_F(RamCheck, ComparesTheChoiceWithTheFreeMegabytes) {
  ReadAvailPhys = Free1000Mb;
  bool passed = true;
  EXPECT_EQ(Check(1024, passed), " Ram for qemu: 1024mb [ ERROR ]\n"
                                 " Not enough free memory: asked for 1024 MB, 1000 MB free\n");
  EXPECT_FALSE(passed);
  EXPECT_EQ(Check(512, passed), " Ram for qemu: 512mb [ OK ]\n");
  EXPECT_TRUE(passed);
  // Exactly as much as is free still fits.
  EXPECT_EQ(Check(1000, passed), " Ram for qemu: 1000mb [ OK ]\n");
  EXPECT_TRUE(passed);
  EXPECT_EQ(Check(1001, passed), " Ram for qemu: 1001mb [ ERROR ]\n"
                                 " Not enough free memory: asked for 1001 MB, 1000 MB free\n");
  EXPECT_FALSE(passed);
}

TEST_F(RamCheck, PartOfAMegabyteDoesNotCount) {
  ReadAvailPhys = Free1000MbAndABit;
  bool passed = false;
  Check(1000, passed);
  EXPECT_TRUE(passed);
  Check(1001, passed);
  EXPECT_FALSE(passed);
}

TEST_F(RamCheck, AmountsOutsideTenTo2047FailWhateverIsFree) {
  ReadAvailPhys = FreePlenty;
  HostIs64Bit = false;
  bool passed = true;
  EXPECT_EQ(Check(9, passed), " Ram for qemu: 9mb [ ERROR ]\n");
  EXPECT_FALSE(passed);
  EXPECT_EQ(Check(2048, passed), " Ram for qemu: 2048mb [ ERROR ]\n");
  EXPECT_FALSE(passed);
  EXPECT_EQ(Check(-99, passed), " Ram for qemu: -99mb [ ERROR ]\n");
  EXPECT_FALSE(passed);
  Check(10, passed);
  EXPECT_TRUE(passed);
  Check(2047, passed);
  EXPECT_TRUE(passed);
  // A 64-bit host has no upper bound but its free memory.
  HostIs64Bit = true;
  EXPECT_EQ(Check(8192, passed), " Ram for qemu: 8192mb [ OK ]\n");
  EXPECT_TRUE(passed);
  ReadAvailPhys = Free1000Mb;
  EXPECT_EQ(Check(8192, passed), " Ram for qemu: 8192mb [ ERROR ]\n"
                                 " Not enough free memory: asked for 8192 MB, 1000 MB free\n");
  EXPECT_FALSE(passed);
  HostIs64Bit = false;
}

TEST_F(RamCheck, DisabledCheckWritesNothingAndNeverReadsMemory) {
  DisableRamCheck = true;
  readerCalls = 0;
  ReadAvailPhys = CountingReader;
  bool passed = false;
  EXPECT_EQ(Check(1024, passed), "");
  EXPECT_TRUE(passed);
  EXPECT_EQ(Check(5000, passed), "");
  EXPECT_TRUE(passed);
  EXPECT_EQ(readerCalls, 0);
}

TEST_F(RamCheck, UnreadableFreeMemoryPassesWithAWarning) {
  ReadAvailPhys = FreeUnknown;
  bool passed = false;
  EXPECT_EQ(Check(1024, passed), " Ram for qemu: 1024mb [ WARN! ]\n");
  EXPECT_TRUE(passed);
  // The fixed bounds still hold.
  EXPECT_EQ(Check(4096, passed), " Ram for qemu: 4096mb [ ERROR ]\n");
  EXPECT_FALSE(passed);
}

TEST_F(RamCheck, DefaultReaderAsksTheHost) {
  MemoryRecord record;
  GetMemoryStatus(record);
  // Free memory moves all the time; both readings only need to be of the same order.
  const uint64_t read = ReadAvailPhys();
  EXPECT_GT(read, 0u);
  EXPECT_LT(read / MB, record.ullTotalPhys / MB + 1);
}

TEST(ShowOsBox, CentresNameAndVersionInAFrame) {
  Console console;
  ShowOsBox("Boot from HDD", "");
  EXPECT_EQ(console.Output(),
            "\n"
            " +----------------------------------------+ \n"
            " |             Boot from HDD              |\n"
            " +----------------------------------------+ \n"
            "\n");
}

TEST(ShowOsBox, LongTitleIsNotCut) {
  Console console;
  const std::string name = "An operating system with a long name";
  ShowOsBox(name, "12.04");
  const std::string out = console.Output();
  EXPECT_NE(out.find("\n |" + name + " 12.04|\n"), std::string::npos) << out;
}

TEST(ShowOsBox, OddLengthGetsTheExtraBlankOnTheRight) {
  Console console;
  ShowOsBox("Linux", "1");   // "Linux 1": 7 characters in 40 columns
  EXPECT_NE(console.Output().find(" |                Linux 1                 |\n"),
            std::string::npos)
      << console.Output();
}

uint64_t Total2Gb() { return 2048 * MB; }
uint64_t Total8Gb() { return 8192 * MB; }
uint64_t Total15AndAHalfGb() { return 15872 * MB; }
uint64_t Total16Gb() { return 16384 * MB; }
uint64_t Total64Gb() { return 65536 * MB; }

// Replaces the total-memory reader for one test.
class SelectRamOn : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = ReadTotalPhys; }
  void TearDown() override { ReadTotalPhys = saved_; }

 private:
  TotalPhysReader saved_ = nullptr;
};

TEST_F(SelectRamOn, HostsOfTwoToSixtyFourGigabytes) {
  const std::string head =
      " Select RAM for QEMU\n\n     1) 128MB\n     2) 256MB\n     3) 384MB\n     4) 512MB\n"
      "     5) 1024MB\n";
  const std::string tail = "\n     0) Exit\n\n > ";
  const std::string large[] = {"     6) 2048MB\n", "     7) 4096MB\n", "     8) 8192MB\n",
                               "     9) 16384MB\n"};
  struct Row {
    TotalPhysReader total;
    int lines;
    std::vector<int> amounts;  // by answer, 0 first; the answer after the last is refused
  };
  const Row rows[] = {
      {Total2Gb, 5, {-99, 128, 256, 384, 512, 1024, -99}},
      {Total8Gb, 7, {-99, 128, 256, 384, 512, 1024, 2048, 4096}},
      {Total15AndAHalfGb, 7, {-99, 128, 256, 384, 512, 1024, 2048, 4096}},
      {Total16Gb, 8, {-99, 128, 256, 384, 512, 1024, 2048, 4096, 8192}},
      {Total64Gb, 9, {-99, 128, 256, 384, 512, 1024, 2048, 4096, 8192, 16384}},
  };
  for (const Row& row : rows) {
    ReadTotalPhys = row.total;
    std::string menu = head;
    for (int line = 6; line <= row.lines; ++line) menu += large[line - 6];
    menu += tail;
    const int last = static_cast<int>(row.amounts.size()) - 1;
    for (int answer = 0; answer <= last; ++answer) {
      Console console(std::to_string(answer) + "\n");
      EXPECT_EQ(SelectRam(), row.amounts[answer]) << row.lines << " lines, answer " << answer;
      EXPECT_EQ(console.Output(), menu);
    }
    // One above: refused and asked again (on 2 GB that is 7, past the unlisted 6).
    Console console(std::to_string(last + 1) + "\n3\n");
    EXPECT_EQ(SelectRam(), 384);
    EXPECT_NE(console.Output().find(" [Err] Wrong choice"), std::string::npos) << row.lines;
  }
  EXPECT_EQ(RamMenuLines(64 * 1024 * MB, false), 5);
  EXPECT_EQ(RamMenuLines(0, true), 5);
}

TEST_F(SelectRamOn, SevenIsRefusedAndAskedAgain) {
  ReadTotalPhys = Total2Gb;
  Console console("7\n3\n");
  EXPECT_EQ(SelectRam(), 384);
  EXPECT_NE(console.Output().find(" [Err] Wrong choice"), std::string::npos);
}

TEST(SelectRam, EndOfInputLeavesLikeExit) {
  Console console("");
  EXPECT_EQ(SelectRam(), -99);
}

TEST(ShowHostOs, NamesTheWordSizeAndRemembersIt) {
  Console console;
  HostIs64Bit = !Is64BitHost();
  const bool host64 = ShowHostOs();
  EXPECT_EQ(host64, Is64BitHost());
  EXPECT_EQ(HostIs64Bit, host64);
  EXPECT_EQ(console.Output(), std::string(" Host OS: ") + (host64 ? "64-bit" : "32-bit") + "\n");
  if (sizeof(void*) == 8) {
    EXPECT_TRUE(host64);
  }
}

class Kqemu : public ::testing::Test {
 protected:
  void TearDown() override { HostIs64Bit = false; }
  TempInstall install;
};

TEST_F(Kqemu, NothingHappensOnA64BitHost) {
  install.InstallFakeTool("kqemu/RUR-Iradu.exe");
  install.InstallFakeTool("kqemu/RUR-Iradu-Halt.exe");
  HostIs64Bit = true;
  Console console;
  StartKqemu();
  StopKqemu();
  EXPECT_EQ(console.Output(), "");
  EXPECT_TRUE(install.ToolLog().empty());
}

TEST_F(Kqemu, NothingHappensWhenDisabled) {
  install.InstallFakeTool("kqemu/RUR-Iradu.exe");
  install.InstallFakeTool("kqemu/RUR-Iradu-Halt.exe");
  HostIs64Bit = false;
  DisableKqemu = true;
  Console console;
  StartKqemu();
  StopKqemu();
  EXPECT_EQ(console.Output(), "");
  EXPECT_TRUE(install.ToolLog().empty());
}

TEST_F(Kqemu, StartsAndStopsTheToolsOnA32BitHost) {
  install.InstallFakeTool("kqemu/RUR-Iradu.exe", "exit 3\n");
  install.InstallFakeTool("kqemu/RUR-Iradu-Halt.exe");
  HostIs64Bit = false;
  Console console;
  StartKqemu();
  StopKqemu();
  // A tool's exit code is not judged.
  EXPECT_EQ(console.Output(), " Starting kqemu ... [ OK ]\n Stopping kqemu ... [ OK ]\n");
  const std::vector<std::string> log = install.ToolLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], "kqemu/RUR-Iradu.exe\t");
  EXPECT_EQ(log[1], "kqemu/RUR-Iradu-Halt.exe\t");
}

TEST_F(Kqemu, MissingToolsAreReportedAndTheLaunchGoesOn) {
  // A folder of the tool's name is no tool.
  std::filesystem::create_directories(install.Fs("kqemu/RUR-Iradu.exe"));
  HostIs64Bit = false;
  Console console;
  StartKqemu();
  StopKqemu();
  EXPECT_EQ(console.Output(), " Starting kqemu ... [ ERROR ]\n Stopping kqemu ... [ ERROR ]\n");
}

TEST_F(Kqemu, FailureEndingStopsTheAcceleratorAndWaitsForOneLine) {
  install.InstallFakeTool("kqemu/RUR-Iradu-Halt.exe");
  HostIs64Bit = false;
  Console console("\nleft\n");
  LaunchFailureEnding();
  EXPECT_EQ(console.Output(), " Stopping kqemu ... [ OK ]\n Press <Enter> to exit ");
  EXPECT_EQ(console.InputLeft(), "left\n");
  EXPECT_EQ(install.ToolLog().size(), 1u);
}

TEST_F(Kqemu, FailureEndingReturnsAtTheEndOfInput) {
  HostIs64Bit = true;
  Console console("");
  LaunchFailureEnding();
  EXPECT_EQ(console.Output(), " Press <Enter> to exit ");
}

}  // namespace
