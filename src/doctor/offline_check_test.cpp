#include "doctor/offline_check.h"

#include <gtest/gtest.h>

TEST(OfflineCheckTest, WhatMakesAnEntryBroken) {
  const OsEntry good = {"Tiny", "1.0", "https://example.org/iso/tiny.iso?x=1", "tiny.iso",
                        "cdrom", "", std::string(64, 'a'), "https://example.org/iso/SHA256SUMS"};
  EXPECT_EQ(OfflineProblem(good, false), "");
  struct Row {
    std::string OsEntry::*key;
    std::string value;
    std::string problem;
  };
  const Row rows[] = {
      {&OsEntry::name, "ERROR", "no name"},
      {&OsEntry::download, "", "no download link"},
      {&OsEntry::download, "https://example.org/tiny.iso -O x", "download is no plain http, https or ftp link"},
      {&OsEntry::download, "file:///etc/tiny.iso", "download is no plain http, https or ftp link"},
      {&OsEntry::download, "https://example.org/other.iso", "filename is not the name the download link saves"},
      {&OsEntry::filename, "..\\tiny.iso", "filename is not a plain file name"},
      {&OsEntry::ostype, "dvd", "ostype is not cdrom, hdd or fdd"},
      {&OsEntry::vga, "vga", "vga is not cirrus, std or vmware"},
      {&OsEntry::sha256, "abc", "sha256 is not 64 hexadecimal digits"},
      {&OsEntry::checksums, "https://example.org/\"SUMS", "checksums is no plain http, https or ftp link"},
      {&OsEntry::firmware, "UEFI", "firmware is not bios or uefi"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    OsEntry os = good;
    os.*row.key = row.value;
    EXPECT_EQ(OfflineProblem(os, false), row.problem);
  }
  OsEntry manager = good;
  manager.name = "";
  EXPECT_EQ(OfflineProblem(manager, true), "");
}
