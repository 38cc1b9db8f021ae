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
      {&OsEntry::download, "https://example.org/tiny.iso -O x",
       "bad download link: a blank, tab, double quote or control character cannot be passed to "
       "wget"},
      {&OsEntry::download, "file:///etc/tiny.iso",
       "bad download link: it does not begin with http://, https:// or ftp://"},
      {&OsEntry::download, "https://example.org/other.iso", "filename is not the name the download link saves"},
      {&OsEntry::filename, "..\\tiny.iso",
       "bad file name: none of \\ / : * ? \" < > | can be part of an image's name"},
      {&OsEntry::filename, "nul", "bad file name: nul is a device of Windows, not a file"},
      {&OsEntry::ostype, "dvd", "ostype is not cdrom, hdd or fdd"},
      {&OsEntry::vga, "vga", "vga is not cirrus, std or vmware"},
      {&OsEntry::sha256, "abc", "sha256 is not 64 hexadecimal digits"},
      {&OsEntry::checksums, "https://example.org/\"SUMS",
       "bad checksum list link: a blank, tab, double quote or control character cannot be "
       "passed to wget"},
      {&OsEntry::checksums, "--config=SUMS",
       "bad checksum list link: it does not begin with http://, https:// or ftp://"},
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
