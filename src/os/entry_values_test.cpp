#include "os/entry_values.h"

#include <gtest/gtest.h>

TEST(OwnImage, OnlyBareNamesArePlain) {
  for (const char* name : {"ubuntu0904.iso", "ReactOS0310.img", "a..b.iso", ".hidden.img",
                           "caf\xc3\xa9.img", "console.iso", "com10.img", "lpt.iso", "nul_.iso",
                           "ERROR"})
    EXPECT_TRUE(IsPlainFileName(name)) << name;
  for (const char* name :
       {"", ".", "..", "..\\db\\Own.ini", "../db/Own.ini", "sub\\a.iso", "sub/a.iso", "C:a.iso",
        "C:\\Windows\\a.iso", "/etc/passwd", "*.iso", "a?.iso", "a<b.iso", "a>b", "a|b",
        "a\"b.iso", "ReactOS 0.3.10.img", "a\tb", "a\x01.iso", "a\x7f.iso", "x.iso ", "x.iso.",
        "nul", "NUL", "Con", "aux.tar.gz", "com0", "COM9.img", "lpt1", "LPT0.iso", "conin$",
        "CONOUT$.txt", "prn.iso", "x.iso -O /tmp/pwned.sh"})
    EXPECT_FALSE(IsPlainFileName(name)) << name;
}

TEST(EntryValues, LinksNeedOneOfThreeSchemesAndOneWord) {
  for (const char* link : {"http://h/a.iso", "HTTPS://h/a.iso?x=1&y=2", "Ftp://h/a.iso",
                           "https://h/caf\xc3\xa9.img"})
    EXPECT_EQ(ValueProblem(EntryValue::Download, link), "") << link;
  const char* const noScheme = "it does not begin with http://, https:// or ftp://";
  const char* const notOneWord =
      "a blank, tab, double quote or control character cannot be passed to wget";
  const std::pair<const char*, std::string> bad[] = {
      {"--config=images\\cfg.img", noScheme}, {"error", noScheme}, {"file:///etc/x", noScheme},
      {"httpx://h/a", noScheme}, {"", noScheme}, {" http://h/a", noScheme},
      {"HTTP://", "no address follows HTTP://"}, {"http://h/a.iso -O x", notOneWord},
      {"http://h/a\t-O", notOneWord}, {"http://h/\"a", notOneWord}, {"http://h/a\x1b[2J", notOneWord},
      {"http://h/a\x7f", notOneWord}};
  for (const auto& [link, problem] : bad) {
    EXPECT_EQ(ValueProblem(EntryValue::Checksums, link), problem) << link;
    EXPECT_EQ(RefusalOf(EntryValue::Checksums, link), " * ERROR bad checksum list link: " + problem);
  }
  EXPECT_EQ(RefusalOf(EntryValue::FileName, "aux.tar.gz"),
            " * ERROR bad file name: aux is a device of Windows, not a file");
  EXPECT_TRUE(IsMissingLink("") && IsMissingLink("ERROR") && !IsMissingLink("error"));
}
