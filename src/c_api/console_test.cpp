#include "c_api/console.h"

#include <gtest/gtest.h>

#include <string>

// With standard output redirected (a pipe or a file) the console routines must not add a
// single byte to the transcript.
TEST(ConsoleTest, RedirectedOutputGetsNoControlBytes) {
  testing::internal::CaptureStdout();
  ConsoleInit();
  bool real = ConsoleIsReal();
  ClearScreen();
  GotoXY(3, 4);
  ClearLine(2);
  SetWindowTitle("Quillhaven");
  int row = WhereY();
  std::fputs("text\n", stdout);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_FALSE(real);
  EXPECT_EQ(out, "text\n");
  EXPECT_EQ(row, 0);
}

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <thread>

// A pseudo-terminal stands in for the user's terminal: standard output is its slave side,
// and the test reads what the routines sent from the master side.
class TerminalConsoleTest : public testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    int slave = open(ptsname(master_), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    std::fflush(stdout);
    savedOut_ = dup(STDOUT_FILENO);
    dup2(slave, STDOUT_FILENO);
    close(slave);
    winsize ws{};
    ws.ws_col = 100;
    ws.ws_row = 30;
    ioctl(STDOUT_FILENO, TIOCSWINSZ, &ws);
    ConsoleInit();
  }
  void TearDown() override {
    std::fflush(stdout);
    if (savedOut_ >= 0) {
      dup2(savedOut_, STDOUT_FILENO);
      close(savedOut_);
    }
    if (master_ >= 0) close(master_);
    ConsoleInit();
  }
  // Everything the terminal has received so far.
  std::string Received() {
    std::string data;
    for (;;) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) break;
      char buf[256];
      ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      data.append(buf, static_cast<size_t>(n));
    }
    return data;
  }
  int master_ = -1;
  int savedOut_ = -1;
};

TEST_F(TerminalConsoleTest, ClearingAndCursorMovesUseVtSequences) {
  EXPECT_TRUE(ConsoleIsReal());
  ClearScreen();
  EXPECT_EQ(Received(), "\x1b[2J\x1b[H");
  // Moves go up or down from the row the written text has reached.
  GotoXY(0, 5);
  EXPECT_EQ(Received(), "\x1b[5B\r");
  ClearLine(7);
  EXPECT_EQ(Received(), "\x1b[2B\r\x1b[2K");
  GotoXY(4, 3);
  EXPECT_EQ(Received(), "\x1b[4A\r\x1b[4C");
}

TEST_F(TerminalConsoleTest, TitleShowsControlCharactersAsQuestionMarks) {
  SetWindowTitle("Quillhaven - Evil\x1b]0;x\x07OS \xc3\xa9\xff");
  EXPECT_EQ(Received(), "\x1b]0;Quillhaven - Evil?]0;x?OS \xc3\xa9?\x07");
}

// The row comes from the text written (on a screen of 30 rows and 100 columns), never from
// a request to the terminal, whose answer would be read together with lines typed ahead.
TEST_F(TerminalConsoleTest, WhereYFollowsTheTextAndNeverAsksTheTerminal) {
  ClearScreen();
  ConsoleWrite("one\ntwo\n > ");
  EXPECT_EQ(WhereY(), 2);
  ConsoleWrite(std::string(100, 'x') + "\xc3\xa9");  // longer than the row: it wraps
  EXPECT_EQ(WhereY(), 3);
  ConsoleWrite(std::string(40, '\n'));  // the terminal scrolls at its last row
  EXPECT_EQ(WhereY(), 29);
  GotoXY(0, static_cast<int16_t>(WhereY() - 2));
  EXPECT_EQ(WhereY(), 27);
  EXPECT_EQ(Received().find("\x1b[6n"), std::string::npos);
}

TEST_F(TerminalConsoleTest, WhereYWithoutAnswerFallsBackToLastPosition) {
  GotoXY(0, 9);
  Received();
  EXPECT_EQ(WhereY(), 9);
}
#endif
