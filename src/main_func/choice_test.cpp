#include "main_func/choice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "main_func/input.h"
#include "main_func/out.h"

namespace {

// Feeds `input` as standard input and collects what the routines write.
class ChoiceTest : public ::testing::Test {
 protected:
  void Feed(const std::string& input) {
    in_ = std::tmpfile();
    out_ = std::tmpfile();
    ASSERT_NE(in_, nullptr);
    ASSERT_NE(out_, nullptr);
    std::fwrite(input.data(), 1, input.size(), in_);
    std::rewind(in_);
    SetInputStream(in_);
    SetOutputStream(out_);
  }
  std::string Output() {
    std::fflush(out_);
    std::rewind(out_);
    std::string text;
    for (int c; (c = std::fgetc(out_)) != EOF;) text += static_cast<char>(c);
    return text;
  }
  std::string Rest() {
    std::string line, all;
    while (ReadLine(line)) all += line + "|";
    return all;
  }
  void TearDown() override {
    SetInputStream(nullptr);
    SetOutputStream(nullptr);
    if (in_) std::fclose(in_);
    if (out_) std::fclose(out_);
  }
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
};

const std::string Wrong = " > \n [Err] Wrong choice";

}  // namespace

TEST_F(ChoiceTest, AcceptsAnswersInRange) {
  Feed("2\n0\n3\n");
  EXPECT_EQ(ReadChoice(3), 2);
  EXPECT_EQ(ReadChoice(3), 0);
  EXPECT_EQ(ReadChoice(3), 3);
  EXPECT_EQ(Output(), " >  >  > ");
}

TEST_F(ChoiceTest, RefusesOutOfRangeNegativeAndNonNumbersAndAsksAgain) {
  Feed("4\n-1\nx\n0x1\n-\n1\n");
  EXPECT_EQ(ReadChoice(3), 1);
  EXPECT_EQ(Output(), Wrong + Wrong + Wrong + Wrong + Wrong + " > ");
}

TEST_F(ChoiceTest, MinusNinetyNineGivesTheOperationFailedPauseWithoutErrorLine) {
  Feed("-99\n\n2\n");
  EXPECT_EQ(ReadChoice(3), 2);
  EXPECT_EQ(Output(), " > \n Operation was not succesful\n Press <ENTER>\n > ");
}

TEST_F(ChoiceTest, DiscardsWordsAfterTheNumberAndSkipsBlankLines) {
  Feed("3 and more words\n\n   \n\t 2\t\nnext\n");
  EXPECT_EQ(ReadChoice(3), 3);
  EXPECT_EQ(ReadChoice(3), 2);
  EXPECT_EQ(Rest(), "next|");
  // Blank lines keep the reader waiting without a new prompt.
  EXPECT_EQ(Output(), " >  > ");
}

TEST_F(ChoiceTest, LongNumbersAreWrongChoicesAndPlusSignIsAccepted) {
  Feed(std::string(40, '7') + "\n99999999999\n+2\n");
  EXPECT_EQ(ReadChoice(5), 2);
  EXPECT_EQ(Output(), Wrong + Wrong + " > ");
}

TEST_F(ChoiceTest, EndOfInputReturnsZeroAtOnceWhateverTheRange) {
  Feed("");
  EXPECT_EQ(ReadChoice(3), 0);
  EXPECT_TRUE(InputEnded());
  Feed("9");  // a last line without line end, refused, then the end of input
  EXPECT_EQ(ReadChoice(3), 0);
  Feed("-99\n");
  EXPECT_EQ(ReadChoice(-1), 0);
}

TEST_F(ChoiceTest, ReadLineDropsCarriageReturnsAndKeepsALastLineWithoutLineEnd) {
  Feed("one\r\ntwo");
  std::string line;
  ASSERT_TRUE(ReadLine(line));
  EXPECT_EQ(line, "one");
  ASSERT_TRUE(ReadLine(line));
  EXPECT_EQ(line, "two");
  EXPECT_FALSE(ReadLine(line));
  EXPECT_FALSE(ReadLine(line));
}
