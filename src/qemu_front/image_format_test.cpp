#include "qemu_front/image_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

std::string Zeros(std::size_t n) { return std::string(n, '\0'); }

// Writes value at offset, most significant byte first (big) or last.
std::string Put(std::string s, std::size_t at, uint64_t value, int bytes, bool big) {
  for (int i = 0; i < bytes; ++i) {
    const int shift = 8 * (big ? bytes - 1 - i : i);
    s[at + i] = static_cast<char>((value >> shift) & 0xff);
  }
  return s;
}

// A qcow2 header of the given version, backing file offset and incompatible features.
std::string Qcow(uint32_t version, uint64_t backing = 0, uint64_t incompatible = 0) {
  std::string s = "QFI\xfb" + Zeros(ImageHeadSize - 4);
  s = Put(s, 4, version, 4, true);
  s = Put(s, 8, backing, 8, true);
  s = Put(s, 24, 1 << 20, 8, true);
  return Put(s, 72, incompatible, 8, true);
}

// A sparse VMDK header of the given capacity, with descriptor text at sector 1.
std::string Vmdk(uint64_t sectors, const std::string& descriptor) {
  std::string s = "KDMV" + Zeros(ImageHeadSize - 4);
  s = Put(s, 4, 1, 4, false);
  s = Put(s, 12, sectors, 8, false);
  return s.replace(512, descriptor.size(), descriptor);
}

const std::string Descriptor =
    "# Disk DescriptorFile\nversion=1\nCID=4bac265f\nparentCID=ffffffff\n"
    "createType=\"monolithicSparse\"\n\n# Extent description\nRW 2048 SPARSE \"a.vmdk\"\n";

TEST(JudgeImageHead, FormatsAndRefusalsByHeader) {
  struct Case {
    const char* what;
    std::string name, head;
    const char* format;  // "" when refused
    const char* error;
  };
  const Case cases[] = {
      {"iso", "x.iso", Zeros(ImageHeadSize), "raw", ""},
      {"tiny", "x.img", "hi", "raw", ""},
      {"empty", "x.img", "", "raw", ""},
      {"boot sector", "x.img", "\xeb\x3c\x90MSDOS5.0" + Zeros(500), "raw", ""},
      {"qcow2 v2", "x.img", Qcow(2), "qcow2", ""},
      {"qcow2 v3", "x.img", Qcow(3), "qcow2", ""},
      {"qcow2 dirty, zstd, extended L2", "x.img", Qcow(3, 0, 0x19), "qcow2", ""},
      {"qemu-img's vmdk", "hdb.img", Vmdk(2048, Descriptor), "vmdk", ""},
      {"vmdk with an empty parent", "x.img", Vmdk(2048, Descriptor + "parentFileNameHint=\"\"\n"), "vmdk", ""},
      {"qcow2 backing", "x.img", Qcow(3, 0x200), "", "qemu: x.img is refused: a qcow2 image with a backing file"},
      {"qcow2 v2 backing", "x.img", Qcow(2, 0x48), "", "qemu: x.img is refused: a qcow2 image with a backing file"},
      {"qcow2 data file", "x.img", Qcow(3, 0, 4), "",
       "qemu: x.img is refused: a qcow2 image with an external data file"},
      {"qcow2 unknown feature", "x.img", Qcow(3, 0, 1 << 5), "",
       "qemu: x.img is refused: a qcow2 image with features unknown here"},
      {"qcow2 v99", "x.img", Qcow(99), "", "qemu: x.img is refused: a qcow2 image of version 99, unknown here"},
      {"qcow1", "x.img", Qcow(1), "", "qemu: x.img is refused: a qcow image (version 1), which may name a backing file"},
      {"qcow2 cut", "x.img", "QFI\xfb" + Zeros(8), "", "qemu: x.img is refused: a qcow2 header cut short"},
      {"vmdk parent", "x.img", Vmdk(2048, Descriptor + "parentFileNameHint=\"/etc/passwd\"\n"), "",
       "qemu: x.img is refused: a VMDK image with a parent disk"},
      {"vmdk parent, bare", "x.img", Vmdk(2048, "parentFileNameHint=/x"), "",
       "qemu: x.img is refused: a VMDK image with a parent disk"},
      {"vmdk capacity 0", "x.img", Vmdk(0, Descriptor), "",
       "qemu: x.img is refused: a VMDK image without a capacity, read as a list of other files"},
      {"vmdk text", "x.img", Descriptor, "", "qemu: x.img is refused: a VMDK descriptor, which names other files"},
      {"vmdk text, comments first", "x.img", "# mine\n  \r\n\nversion=1\r\nRW 8 FLAT \"/dev/sda\" 0\n", "",
       "qemu: x.img is refused: a VMDK descriptor, which names other files"},
      {"vdi", "x.vdi", "<<< Oracle VM VirtualBox Disk Image >>>\n" + Zeros(24) + "\x7f\x10\xda\xbe", "",
       "qemu: x.vdi is refused: a VDI image, a format not started here"},
      {"vhd", "x.vhd", "conectix" + Zeros(504), "", "qemu: x.vhd is refused: a VHD image, a format not started here"},
      {"vhdx", "x", "vhdxfile", "", "qemu: x is refused: a VHDX image, a format not started here"},
      {"qed", "x", std::string("QED\0\0\0", 6), "", "qemu: x is refused: a QED image, a format not started here"},
      {"luks", "x", "LUKS\xba\xbe\0\1", "", "qemu: x is refused: a LUKS image, a format not started here"},
      {"parallels", "x", "WithoutFreeSpace", "", "qemu: x is refused: a Parallels image, a format not started here"},
      {"bochs", "x", "Bochs Virtual HD Image\0", "", "qemu: x is refused: a Bochs image, a format not started here"},
      {"cloop", "x", "#!/bin/sh\n#V2.0 Format\nmodprobe cloop file=$FILE\n", "",
       "qemu: x is refused: a cloop image, a format not started here"},
      {"vmdk3", "x", "COWD\1\0\0\0", "", "qemu: x is refused: a VMDK3 (COWD) image, a format not started here"},
      {"dmg", "x.DMG", Zeros(512), "", "qemu: x.DMG is refused: a DMG image, a format not started here"},
  };
  for (const Case& c : cases) {
    ImageCheck check = JudgeImageHead(c.name, c.head);
    EXPECT_EQ(check.ok, *c.format != '\0') << c.what;
    EXPECT_EQ(check.format, check.ok ? c.format : "") << c.what;
    EXPECT_EQ(check.error, c.error) << c.what;
  }
}

}  // namespace
