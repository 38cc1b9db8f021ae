#include "qemu_front/error_file.h"

#include <gtest/gtest.h>

namespace {

// QEMU 7.2's notice for -fda images//demo.img, as it writes it.
const std::string Notice =
    "WARNING: Image format was not specified for 'images//demo.img' and probing guessed raw.\n"
    "         Automatically detecting the format is dangerous for raw images, write operations "
    "on block 0 will be restricted.\n"
    "         Specify the 'raw' format explicitly to remove the restrictions.\n";

TEST(DropWarnings, CleanRunOfARawImageLeavesNothing) {
  EXPECT_EQ(DropWarnings(Notice), "");
  EXPECT_EQ(DropWarnings(""), "");
}

TEST(DropWarnings, RealErrorsAroundTheNoticeStay) {
  const std::string before = "qemu-system-x86_64: -cdrom images//x.iso: Could not open 'images//x.iso'\n";
  const std::string after = "qemu-system-x86_64: terminating on signal 2\n";
  EXPECT_EQ(DropWarnings(before + Notice + after), before + after);
}

TEST(DropWarnings, EveryImageHasItsOwnNotice) {
  std::string second = Notice;
  second.replace(second.find("images//demo.img"), 16, "images//hdb.img");
  EXPECT_EQ(DropWarnings(Notice + second), "");
}

TEST(DropWarnings, WindowsLineEndsAndAPrefixedNotice) {
  const std::string crlf =
      "qemu-system-x86_64.exe: WARNING: Image format was not specified for 'a.img' and probing "
      "guessed raw.\r\n"
      "         Automatically detecting the format is dangerous for raw images, write operations "
      "on block 0 will be restricted.\r\n"
      "         Specify the 'raw' format explicitly to remove the restrictions.\r\n"
      "real error\r\n";
  EXPECT_EQ(DropWarnings(crlf), "real error\r\n");
}

TEST(DropWarnings, EveryWarningGoesAndOnlyWarnings) {
  // An indented line counts only right after a warning.
  const std::string lone =
      "         Specify the 'raw' format explicitly to remove the restrictions.\n";
  EXPECT_EQ(DropWarnings(lone), lone);
  // Warnings of good runs, with and without the program's name, in any letter case.
  const std::string warnings =
      "qemu-system-x86_64: warning: host doesn't support requested feature: CPUID.01H:ECX.pni "
      "[bit 0]\n"
      "qemu-system-x86_64: Warning: TCG doesn't support requested feature: CPUID.01H:ECX.vmx "
      "[bit 5]\n"
      "warning: audio: could not init pa, falling back to none\n"
      "    continued\n"
      "WARNING: Image format was not specified for 'a.img'\n";
  EXPECT_EQ(DropWarnings(warnings), "");
  // Errors stay, also those that mention a warning, and a last line without a line end.
  const std::string errors =
      "qemu-system-x86_64: -fda x: Could not open 'x': warning: none\n"
      "qemu: the last warning: gone\n"
      "qemu-system-x86_64: warnings off\n"
      "no line end";
  EXPECT_EQ(DropWarnings(Notice + errors), errors);
}

}  // namespace
