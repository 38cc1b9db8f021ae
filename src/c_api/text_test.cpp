#include "c_api/text.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(ShownText, ControlCharactersAndBytesThatAreNotUtf8BecomeQuestionMarks) {
  struct Row {
    std::string text;
    std::string shown;
    int length;
  };
  const Row rows[] = {
      {"Caf\xc3\xa9 \xce\xa9mega \xf0\x9f\x90\xa7", "Caf\xc3\xa9 \xce\xa9mega \xf0\x9f\x90\xa7",
       12},  // kept
      {"Evil\x1b]0;x\x07OS", "Evil?]0;x?OS", 12},           // C0: escape and BEL
      {"tab\there\x7f", "tab?here?", 9},                    // C0 and DEL
      {"c1\xc2\x80\xc2\x9b\xc2\x9f\xc2\xa0", "c1???\xc2\xa0", 6},  // C1; U+00A0 is shown
      {"\x1a\x00z"s, "??z", 3},                           // SUB and NUL
      {"\xff\xfe", "??", 2},                                // never UTF-8
      {"\x9b" "1m", "?1m", 3},                              // a lone continuation byte
      {"\xc0\xaf\xe0\x80\xaf", "?????", 5},                 // overlong forms
      {"\xed\xa0\x80", "???", 3},                           // a surrogate
      {"\xf4\x90\x80\x80", "????", 4},                      // above U+10FFFF
      {"\xe2\x82" "A", "??A", 3},                           // a sequence cut short
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ShownText(row.text), row.shown) << row.shown;
    EXPECT_EQ(TextLength(row.text), row.length) << row.shown;
  }
}
