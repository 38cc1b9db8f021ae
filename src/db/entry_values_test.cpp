#include "db/entry_values.h"

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

// The bad links of each kind are in the whole-program table (Download.LinkWith...): here
// what that table does not show.
TEST(EntryValues, LinksNeedOneOfThreeSchemesAndOneWord) {
  for (const char* link : {"http://h/a.iso", "HTTPS://h/a.iso?x=1&y=2", "Ftp://h/a.iso"})
    EXPECT_EQ(ValueProblem(EntryValue::Download, link), "") << link;
  EXPECT_EQ(RefusalOf(EntryValue::Checksums, "HTTP://"),
            " * ERROR bad checksum list link: no address follows HTTP://");
  EXPECT_NE(ValueProblem(EntryValue::Download, " http://h/a"), "");
  EXPECT_NE(ValueProblem(EntryValue::Download, "http://h/a\x7f"), "");
  EXPECT_TRUE(IsMissingLink("") && IsMissingLink("ERROR") && !IsMissingLink("error"));
}
