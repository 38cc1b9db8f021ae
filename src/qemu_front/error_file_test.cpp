#include "qemu_front/error_file.h"

#include <gtest/gtest.h>

namespace {

// QEMU 7.2's notice for -fda images//demo.img, as it writes it.
const std::string Notice =
    "WARNING: Image format was not specified for 'images//demo.img' and probing guessed raw.\n"
    "         Automatically detecting the format is dangerous for raw images, write operations "
    "on block 0 will be restricted.\n"
    "         Specify the 'raw' format explicitly to remove the restrictions.\n";

TEST(DropRawProbeWarnings, CleanRunOfARawImageLeavesNothing) {
  EXPECT_EQ(DropRawProbeWarnings(Notice), "");
  EXPECT_EQ(DropRawProbeWarnings(""), "");
}

TEST(DropRawProbeWarnings, RealErrorsAroundTheNoticeStay) {
  const std::string before = "qemu-system-x86_64: -cdrom images//x.iso: Could not open 'images//x.iso'\n";
  const std::string after = "qemu-system-x86_64: terminating on signal 2\n";
  EXPECT_EQ(DropRawProbeWarnings(before + Notice + after), before + after);
}

TEST(DropRawProbeWarnings, EveryImageHasItsOwnNotice) {
  std::string second = Notice;
  second.replace(second.find("images//demo.img"), 16, "images//hdb.img");
  EXPECT_EQ(DropRawProbeWarnings(Notice + second), "");
}

TEST(DropRawProbeWarnings, WindowsLineEndsAndAPrefixedNotice) {
  const std::string crlf =
      "qemu-system-x86_64.exe: WARNING: Image format was not specified for 'a.img' and probing "
      "guessed raw.\r\n"
      "         Automatically detecting the format is dangerous for raw images, write operations "
      "on block 0 will be restricted.\r\n"
      "         Specify the 'raw' format explicitly to remove the restrictions.\r\n"
      "real error\r\n";
  EXPECT_EQ(DropRawProbeWarnings(crlf), "real error\r\n");
}

TEST(DropRawProbeWarnings, LookAlikesAreKept) {
  // The indented lines count only right after the notice itself.
  const std::string lone =
      "         Specify the 'raw' format explicitly to remove the restrictions.\n";
  EXPECT_EQ(DropRawProbeWarnings(lone), lone);
  const std::string other = "WARNING: Image format was not specified for 'a.img'\n";
  EXPECT_EQ(DropRawProbeWarnings(other), other);
  // An indented line of another message after the notice is not part of it.
  const std::string next = "         something else\n";
  EXPECT_EQ(DropRawProbeWarnings(Notice + next), next);
  // A last line without a line end is kept whole.
  EXPECT_EQ(DropRawProbeWarnings(Notice + "no line end"), "no line end");
}

}  // namespace
