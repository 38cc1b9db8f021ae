// The UEFI demo OS's disk: a FAT12 file system of 1.44 MB without a partition table (UEFI
// firmware reads such a disk as one volume) that holds one file, the EFI application at
// EFI/BOOT/BOOTX64.EFI, the path the firmware boots when no boot entry names another.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr size_t UefiDemoDiskSize = 1474560;
// The largest application the disk holds (its data area).
inline constexpr size_t UefiDemoMaxApplication = (2880 - 33 - 2) * 512;

// The disk with application as EFI/BOOT/BOOTX64.EFI; empty when the application is empty
// or larger than UefiDemoMaxApplication.
std::vector<uint8_t> UefiDemoDisk(const std::vector<uint8_t>& application);
