#include "qemu_front/demo_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

size_t Find(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& what) {
  auto at = std::search(bytes.begin(), bytes.end(), what.begin(), what.end());
  return at == bytes.end() ? std::string::npos : static_cast<size_t>(at - bytes.begin());
}

TEST(DemoImage, IsABootableHighDensityFloppy) {
  std::vector<uint8_t> image = DemoFloppyImage();
  ASSERT_EQ(image.size(), 1474560u);
  EXPECT_EQ(image[510], 0x55);
  EXPECT_EQ(image[511], 0xaa);
  EXPECT_TRUE(std::all_of(image.begin() + 512, image.end(), [](uint8_t b) { return b == 0; }));
  std::vector<uint8_t> sector = DemoBootSector();
  ASSERT_EQ(sector.size(), 512u);
  EXPECT_TRUE(std::equal(sector.begin(), sector.end(), image.begin()));
}

TEST(DemoImage, MessagePointerAddressesTheGreeting) {
  std::vector<uint8_t> sector = DemoBootSector();
  // mov si, imm16 follows the set-up; the BIOS loads the sector at 0x7c00.
  size_t mov = Find(sector, {0xcd, 0x14, 0xbe});
  ASSERT_NE(mov, std::string::npos);
  size_t address = sector[mov + 3] | (sector[mov + 4] << 8);
  ASSERT_GE(address, 0x7c00u);
  size_t offset = address - 0x7c00;
  ASSERT_LT(offset, 510u);
  std::string text(sector.begin() + static_cast<long>(offset), sector.begin() + 510);
  text = text.substr(0, text.find('\0'));
  std::string expected;
  for (const std::string& line : DemoGreeting()) expected += line + "\r\n";
  EXPECT_EQ(text, expected);
}

TEST(DemoImage, WritesToSerialPortAndDebugExitPort) {
  std::vector<uint8_t> sector = DemoBootSector();
  EXPECT_NE(Find(sector, {0xba, 0xf8, 0x03}), std::string::npos);  // mov dx, 0x3f8
  EXPECT_NE(Find(sector, {0xee}), std::string::npos);              // out dx, al
  EXPECT_NE(Find(sector, {0xcd, 0x10}), std::string::npos);        // BIOS video
  size_t exitAt = Find(sector, {0xe6, 0xf4});                       // out 0xf4, al
  ASSERT_NE(exitAt, std::string::npos);
  // ...then a key, the ACPI switch-off, and the halt loop: cli, hlt, jmp back to the cli.
  const std::vector<uint8_t> rest = {0x30, 0xe4, 0xcd, 0x16, 0xba, 0x04, 0x06, 0xb8, 0x00,
                                     0x20, 0xef, 0xfa, 0xf4, 0xeb, 0xfc};
  ASSERT_LE(exitAt + 2 + rest.size(), sector.size());
  EXPECT_TRUE(std::equal(rest.begin(), rest.end(), sector.begin() + static_cast<long>(exitAt) + 2));
}

TEST(DemoImage, ShortJumpsLandOnInstructionsInsideTheCode) {
  std::vector<uint8_t> sector = DemoBootSector();
  size_t message = Find(sector, {'H', 'e', 'l', 'l', 'o'});
  ASSERT_NE(message, std::string::npos);
  // Every jz/jmp short before the message lands inside the code, never in the text.
  int jumps = 0;
  for (size_t i = 0; i + 1 < message; ++i) {
    if (sector[i] != 0x74 && sector[i] != 0xeb) continue;
    // 0x74/0xeb may also be an operand byte; only count those that decode as jumps.
    if (i > 0 && (sector[i - 1] == 0xb4 || sector[i - 1] == 0xbb)) continue;
    long target = static_cast<long>(i) + 2 + static_cast<int8_t>(sector[i + 1]);
    EXPECT_GE(target, 0);
    EXPECT_LT(target, static_cast<long>(message)) << "jump at " << i;
    ++jumps;
  }
  EXPECT_GE(jumps, 5);
}

TEST(DemoImage, GreetingSaysHello) {
  ASSERT_FALSE(DemoGreeting().empty());
  EXPECT_EQ(DemoGreeting()[0], "Hello from the Quillhaven demo OS!");
}

}  // namespace
