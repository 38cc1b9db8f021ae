// The demo OS that every build makes: a 1.44 MB floppy whose boot sector greets the user
// on the screen (BIOS video) and on the first serial port. Then it writes 0 to I/O port
// 0xf4: on a QEMU started with -device isa-debug-exit,iobase=0xf4 that ends QEMU (exit
// code 1), which lets tests boot it headless; elsewhere the port is unused and the write
// does nothing. Otherwise it waits for a key and switches the machine off (ACPI, as
// QEMU's PC machines with SeaBIOS have it), so that a user in a terminal, where QEMU has no
// window to close, gets back to Quillhaven; where that does not work, it halts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr size_t FloppySize = 1474560;  // 80 cylinders, 2 heads, 18 sectors of 512
inline constexpr size_t BootSectorSize = 512;

// The greeting, one line per element; the first one is what tests look for.
const std::vector<std::string>& DemoGreeting();

// The 512-byte boot sector: code, the greeting and the boot signature 55 AA.
std::vector<uint8_t> DemoBootSector();

// The whole floppy: the boot sector followed by zeros.
std::vector<uint8_t> DemoFloppyImage();
