#include "qemu_front/uefi_demo_image.h"

#include <cstring>
#include <string>

namespace {

// The geometry of a 1.44 MB floppy, the layout every FAT12 reader knows.
constexpr size_t SectorSize = 512;
constexpr size_t TotalSectors = 2880;
constexpr size_t ReservedSectors = 1;
constexpr size_t FatCount = 2;
constexpr size_t SectorsPerFat = 9;
constexpr size_t RootEntries = 224;
constexpr size_t RootSectors = RootEntries * 32 / SectorSize;  // 14
constexpr size_t FirstFatSector = ReservedSectors;
constexpr size_t RootSector = FirstFatSector + FatCount * SectorsPerFat;  // 19
constexpr size_t DataSector = RootSector + RootSectors;                   // 33
constexpr uint16_t EndOfChain = 0xfff;
constexpr uint8_t AttrDirectory = 0x10;
constexpr uint8_t AttrArchive = 0x20;

// Clusters of one sector: the EFI directory, the BOOT directory, then the application.
constexpr uint16_t EfiCluster = 2;
constexpr uint16_t BootCluster = 3;
constexpr uint16_t FileCluster = 4;

void Put16(std::vector<uint8_t>& d, size_t at, uint16_t v) {
  d[at] = static_cast<uint8_t>(v);
  d[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& d, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutText(std::vector<uint8_t>& d, size_t at, const std::string& text) {
  std::memcpy(&d[at], text.data(), text.size());
}

size_t ClusterOffset(uint16_t cluster) { return (DataSector + cluster - 2) * SectorSize; }

// One 32-byte directory entry; name is the 11-character 8.3 form.
void Entry(std::vector<uint8_t>& d, size_t at, const std::string& name, uint8_t attr,
           uint16_t cluster, uint32_t size) {
  PutText(d, at, name);
  d[at + 11] = attr;
  Put16(d, at + 24, 0x5b89);  // date: 2025-12-09
  Put16(d, at + 18, 0x5b89);
  Put16(d, at + 16, 0x5b89);
  Put16(d, at + 26, cluster);
  Put32(d, at + 28, size);
}

void SetFat(std::vector<uint8_t>& d, uint16_t cluster, uint16_t value) {
  for (size_t copy = 0; copy < FatCount; ++copy) {
    const size_t at = (FirstFatSector + copy * SectorsPerFat) * SectorSize + cluster * 3 / 2;
    if (cluster % 2 == 0) {
      d[at] = static_cast<uint8_t>(value);
      d[at + 1] = static_cast<uint8_t>((d[at + 1] & 0xf0) | ((value >> 8) & 0x0f));
    } else {
      d[at] = static_cast<uint8_t>((d[at] & 0x0f) | ((value << 4) & 0xf0));
      d[at + 1] = static_cast<uint8_t>(value >> 4);
    }
  }
}

}  // namespace

std::vector<uint8_t> UefiDemoDisk(const std::vector<uint8_t>& application) {
  if (application.empty() || application.size() > UefiDemoMaxApplication) return {};
  std::vector<uint8_t> d(UefiDemoDiskSize, 0);

  // Boot sector: a jump over the parameters to a halt (nothing boots it through the BIOS),
  // the BIOS parameter block, and the signature.
  d[0] = 0xeb;
  d[1] = 0x3c;
  d[2] = 0x90;
  PutText(d, 3, "QUILLHVN");
  Put16(d, 11, SectorSize);
  d[13] = 1;  // sectors per cluster
  Put16(d, 14, ReservedSectors);
  d[16] = FatCount;
  Put16(d, 17, RootEntries);
  Put16(d, 19, TotalSectors);
  d[21] = 0xf0;  // media: removable
  Put16(d, 22, SectorsPerFat);
  Put16(d, 24, 18);  // sectors per track
  Put16(d, 26, 2);   // heads
  d[38] = 0x29;      // extended parameters follow
  Put32(d, 39, 0x51480001);
  PutText(d, 43, "QH UEFI    FAT12   ");
  d[62] = 0xf4;  // hlt
  d[63] = 0xeb;
  d[64] = 0xfd;  // jmp back to it
  d[510] = 0x55;
  d[511] = 0xaa;

  SetFat(d, 0, 0xff0);
  SetFat(d, 1, EndOfChain);
  SetFat(d, EfiCluster, EndOfChain);
  SetFat(d, BootCluster, EndOfChain);
  const size_t clusters = (application.size() + SectorSize - 1) / SectorSize;
  for (size_t i = 0; i < clusters; ++i) {
    const uint16_t cluster = static_cast<uint16_t>(FileCluster + i);
    SetFat(d, cluster, i + 1 == clusters ? EndOfChain : static_cast<uint16_t>(cluster + 1));
  }

  Entry(d, RootSector * SectorSize, "QH UEFI    ", 0x08, 0, 0);  // volume label
  Entry(d, RootSector * SectorSize + 32, "EFI        ", AttrDirectory, EfiCluster, 0);
  Entry(d, ClusterOffset(EfiCluster), ".          ", AttrDirectory, EfiCluster, 0);
  Entry(d, ClusterOffset(EfiCluster) + 32, "..         ", AttrDirectory, 0, 0);
  Entry(d, ClusterOffset(EfiCluster) + 64, "BOOT       ", AttrDirectory, BootCluster, 0);
  Entry(d, ClusterOffset(BootCluster), ".          ", AttrDirectory, BootCluster, 0);
  Entry(d, ClusterOffset(BootCluster) + 32, "..         ", AttrDirectory, EfiCluster, 0);
  Entry(d, ClusterOffset(BootCluster) + 64, "BOOTX64 EFI", AttrArchive, FileCluster,
        static_cast<uint32_t>(application.size()));
  std::memcpy(&d[ClusterOffset(FileCluster)], application.data(), application.size());
  return d;
}
