#include "main_func/command_words.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

TEST(SplitWords, FollowsTheWindowsArgvRules) {
  EXPECT_EQ(SplitWords(""), Words{});
  EXPECT_EQ(SplitWords("  \t "), Words{});
  EXPECT_EQ(SplitWords("-m 128\t-vga  std "), (Words{"-m", "128", "-vga", "std"}));
  EXPECT_EQ(SplitWords("-serial \"file:C:\\a b\\s.txt\""), (Words{"-serial", "file:C:\\a b\\s.txt"}));
  EXPECT_EQ(SplitWords("a\"b c\"d"), (Words{"ab cd"}));
  EXPECT_EQ(SplitWords("\"\""), (Words{""}));
  EXPECT_EQ(SplitWords("images\\\\linux.iso"), (Words{"images\\\\linux.iso"}));
  EXPECT_EQ(SplitWords("a\\\"b"), (Words{"a\"b"}));         // \" is a quote
  EXPECT_EQ(SplitWords("\"a\\\\\" b"), (Words{"a\\", "b"}));  // \\" is a backslash, then the end
  EXPECT_EQ(SplitWords("\"open"), (Words{"open"}));
}

TEST(QuoteWord, LeavesPlainWordsAlone) {
  EXPECT_EQ(QuoteWord("-m"), "-m");
  EXPECT_EQ(QuoteWord("C:\\Q\\qemu\\qemu-system-x86_64.exe"), "C:\\Q\\qemu\\qemu-system-x86_64.exe");
  EXPECT_EQ(QuoteWord(""), "\"\"");
  EXPECT_EQ(QuoteWord("a b"), "\"a b\"");
  EXPECT_EQ(QuoteWord("C:\\a b\\"), "\"C:\\a b\\\\\"");
  EXPECT_EQ(QuoteWord("say \"hi\""), "\"say \\\"hi\\\"\"");
}

TEST(QuoteWord, EveryWordSurvivesTheRoundTrip) {
  const Words words = {"",         "plain",         "two words",      "tab\there",
                       "q\"uote",  "\\\"",           "end\\",          "C:\\Program Files\\QEMU\\",
                       "\\\\srv\\share", "a\\\\\"b c", "\"\"",          "file:/tmp/x y/serial.txt",
                       "   ",      "trailing\\\\"};
  for (const std::string& w : words) {
    EXPECT_EQ(SplitWords(QuoteWord(w)), Words{w}) << w;
  }
  EXPECT_EQ(SplitWords(JoinWords(words)), words);
}

TEST(JoinWords, JoinsWithSingleBlanks) {
  EXPECT_EQ(JoinWords({"/usr/bin/qemu-system-x86_64", "-m", "128", "-cdrom", "my os.iso"}),
            "/usr/bin/qemu-system-x86_64 -m 128 -cdrom \"my os.iso\"");
  EXPECT_EQ(JoinWords({}), "");
}

TEST(ToolCommandLine, OnlyAProgramWordWithABlankIsQuoted) {
  EXPECT_EQ(ToolCommandLine("D:\\Q\\", "wget\\wget -P images\\temp\\ http://h/a.iso"),
            "D:\\Q\\wget\\wget -P images\\temp\\ http://h/a.iso");
  const std::string quoted = ToolCommandLine("C:\\Program Files\\Q\\", "qemu\\qemu -m 64");
  EXPECT_EQ(quoted, "\"C:\\Program Files\\Q\\qemu\\qemu\" -m 64");
  EXPECT_EQ(SplitWords(quoted), (std::vector<std::string>{"C:\\Program Files\\Q\\qemu\\qemu", "-m", "64"}));
  EXPECT_EQ(ToolCommandLine("/home/ann/My VMs/", "kqemu\\RUR-Iradu.exe"),
            "\"/home/ann/My VMs/kqemu\\RUR-Iradu.exe\"");
}

}  // namespace
