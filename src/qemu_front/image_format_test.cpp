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
  // head, and the format or, for a refusal, why (after "qemu: x is refused: ").
  const std::pair<std::string, std::string> cases[] = {
      {Zeros(ImageHeadSize), "raw"},  // an ISO image, a whole disk
      {"hi", "raw"},
      {"", "raw"},
      {Qcow(2), "qcow2"},
      {Qcow(3, 0, 0x19), "qcow2"},  // dirty, zstd, extended L2 entries
      {Vmdk(2048, Descriptor), "vmdk"},
      {Vmdk(2048, Descriptor + "parentFileNameHint=\"\"\n"), "vmdk"},
      {Qcow(3, 0x200), "a qcow2 image with a backing file"},
      {Qcow(2, 0x48), "a qcow2 image with a backing file"},
      {Qcow(3, 0, 4), "a qcow2 image with an external data file"},
      {Qcow(3, 0, 1 << 5), "a qcow2 image with features unknown here"},
      {Qcow(99), "a qcow2 image of version 99, unknown here"},
      {Qcow(1), "a qcow image (version 1), which may name a backing file"},
      {"QFI\xfb" + Zeros(8), "a qcow2 header cut short"},
      {Vmdk(2048, Descriptor + "parentFileNameHint=\"/etc/passwd\"\n"), "a VMDK image with a parent disk"},
      {Vmdk(0, Descriptor), "a VMDK image without a capacity, read as a list of other files"},
      {Descriptor, "a VMDK descriptor, which names other files"},
      {"# mine\n  \r\n\nversion=1\r\nRW 8 FLAT \"/dev/sda\" 0\n",
       "a VMDK descriptor, which names other files"},
      {Zeros(64) + "\x7f\x10\xda\xbe", "a VDI image, a format not started here"},
      {"conectix", "a VHD image, a format not started here"},
      {"vhdxfile", "a VHDX image, a format not started here"},
      {std::string("QED\0", 4), "a QED image, a format not started here"},
      {"LUKS\xba\xbe", "a LUKS image, a format not started here"},
      {"WithoutFreeSpace", "a Parallels image, a format not started here"},
      {"Bochs Virtual HD Image", "a Bochs image, a format not started here"},
      {"#!/bin/sh\n#V2.0 Format\nmodprobe cloop file=$FILE\n", "a cloop image, a format not started here"},
      {"COWD\1\0\0\0", "a VMDK3 (COWD) image, a format not started here"},
  };
  for (const auto& [head, expected] : cases) {
    ImageCheck check = JudgeImageHead("x", head);
    const bool ok = expected == "raw" || expected == "qcow2" || expected == "vmdk";
    EXPECT_EQ(check.ok ? check.format : check.error, ok ? expected : "qemu: x is refused: " + expected);
  }
  EXPECT_EQ(JudgeImageHead("x.DMG", "").error,
            "qemu: x.DMG is refused: a DMG image, a format not started here");
}

}  // namespace
