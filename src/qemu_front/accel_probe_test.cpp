#include "qemu_front/accel_probe.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseAccelHelp, ListsWhatQemuAnswers) {
  using Names = std::vector<std::string>;
  // QEMU 7.2 on Debian, and a Windows build with its line ends.
  EXPECT_EQ(ParseAccelHelp("Accelerators supported in QEMU binary:\ntcg\nkvm\n"), (Names{"tcg", "kvm"}));
  EXPECT_EQ(ParseAccelHelp("Accelerators supported in QEMU binary:\r\ntcg\r\nwhpx\r\n\r\n"),
            (Names{"tcg", "whpx"}));
  EXPECT_EQ(ParseAccelHelp(""), Names{});
  EXPECT_EQ(ParseAccelHelp("qemu-system-x86_64: -accel help: invalid option\n"), Names{});
}

}  // namespace
