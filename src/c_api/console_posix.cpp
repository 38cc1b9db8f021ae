// Console screen control on POSIX terminals with ANSI/VT sequences. When standard output
// is not a terminal nothing is written, so a redirected run is a clean transcript.
//
// The cursor's row is followed from what the program writes and the terminal echoes; the
// terminal is never asked for it. A cursor-position request would have to read its answer
// from the terminal's input, where it swallows the lines the user typed ahead, and the
// late answer of a slow terminal would land in the user's next answer. Cursor moves are
// relative to the followed row, so lines that a child process wrote meanwhile, which the
// program cannot count, do not put them off.
#include "c_api/console.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "c_api/text.h"

namespace {

struct Cell {
  int column = 0;
  int row = 0;
};

bool IsTerminal = false;
uint16_t ScreenCols = 0;
uint16_t ScreenRows = 0;
Cell CursorPos;

void Emit(const std::string& seq) {
  if (!IsTerminal) return;
  std::fputs(seq.c_str(), stdout);
  std::fflush(stdout);
}

// A terminal scrolls instead of going below its last row, and moves stop at its edges.
int OnScreen(int row) {
  if (ScreenRows > 0) row = std::min(row, ScreenRows - 1);
  return std::max(row, 0);
}

// Follows the cursor over shown text: a line end goes to the start of the next row, and a
// character written after the last column first wraps to the next row.
void Follow(const std::string& text) {
  for (unsigned char c : text) {
    if (c == '\n') {
      CursorPos = {0, OnScreen(CursorPos.row + 1)};
    } else if (c == '\r') {
      CursorPos.column = 0;
    } else if ((c & 0xC0) != 0x80) {  // the first byte of a character
      if (ScreenCols > 0 && CursorPos.column >= ScreenCols) {
        CursorPos = {0, OnScreen(CursorPos.row + 1)};
      }
      ++CursorPos.column;
    }
  }
}

// The sequence from the followed position to column and row, moving up or down by rows.
std::string MoveTo(int column, int row) {
  std::string seq;
  const int rows = row - CursorPos.row;
  if (rows < 0) seq += "\x1b[" + std::to_string(-rows) + "A";
  if (rows > 0) seq += "\x1b[" + std::to_string(rows) + "B";
  seq += "\r";
  if (column > 0) seq += "\x1b[" + std::to_string(column) + "C";
  CursorPos = {column, row};
  return seq;
}

}  // namespace

void ConsoleInit() {
  IsTerminal = isatty(STDOUT_FILENO) == 1;
  ScreenCols = 0;
  ScreenRows = 0;
  winsize ws{};
  if (IsTerminal && ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0) {
    ScreenCols = ws.ws_col;
    ScreenRows = ws.ws_row;
  }
}

void GotoXY(int16_t column, int16_t row) { Emit(MoveTo(std::max<int>(column, 0), OnScreen(row))); }

int WhereY() { return IsTerminal ? CursorPos.row : 0; }

void ClearScreen() {
  CursorPos = {0, 0};
  Emit("\x1b[2J\x1b[H");
}

void ClearLine(int16_t row) { Emit(MoveTo(0, OnScreen(row)) + "\x1b[2K"); }

void SetWindowTitle(const std::string& title) { Emit("\x1b]0;" + ShownText(title) + "\x07"); }

bool ConsoleIsReal() { return isatty(STDOUT_FILENO) == 1; }

void ConsoleWrite(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (IsTerminal) Follow(text);
}

void InputInit() {}

bool InputIsConsole() { return false; }

bool ReadConsoleLine(std::string& line) {
  line.clear();
  return false;
}

void NoteTypedLine(const std::string& line) {
  if (!IsTerminal || isatty(STDIN_FILENO) != 1) return;
  termios mode{};
  if (tcgetattr(STDIN_FILENO, &mode) != 0 || !(mode.c_lflag & ECHO)) return;
  Follow(ShownText(line) + "\n");
}
