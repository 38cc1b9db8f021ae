// Console screen control on POSIX terminals with ANSI/VT sequences. When standard output
// is not a terminal nothing is written, so a redirected run is a clean transcript.
#include "c_api/console.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

struct Cell {
  int16_t column = 0;
  int16_t row = 0;
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

std::string MoveTo(int16_t column, int16_t row) {
  return "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H";
}

// Reads the answer "ESC [ row ; col R" to a cursor-position request; -1 when none comes
// within a short time (a terminal that does not answer).
int ReadCursorRow(int fd) {
  std::string reply;
  for (int waited = 0; waited < 10;) {
    pollfd p{fd, POLLIN, 0};
    int ready = poll(&p, 1, 50);
    if (ready <= 0) {
      ++waited;
      continue;
    }
    char c;
    if (read(fd, &c, 1) != 1) return -1;
    reply += c;
    if (c == 'R') break;
  }
  size_t esc = reply.rfind("\x1b[");
  if (esc == std::string::npos || reply.back() != 'R') return -1;
  int row = 0;
  if (std::sscanf(reply.c_str() + esc, "\x1b[%d;", &row) != 1) return -1;
  return row - 1;
}

}  // namespace

void ConsoleInit() {
  IsTerminal = isatty(STDOUT_FILENO) == 1;
  winsize ws{};
  if (IsTerminal && ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0) {
    ScreenCols = ws.ws_col;
    ScreenRows = ws.ws_row;
  }
}

void GotoXY(int16_t column, int16_t row) {
  CursorPos = {column, row};
  Emit(MoveTo(column, row));
}

// The terminal's answers arrive on its input side: standard output itself when it was
// opened for reading too (as a login terminal is), else standard input, else /dev/tty.
static int TerminalInput(bool& opened) {
  opened = false;
  int flags = fcntl(STDOUT_FILENO, F_GETFL);
  if (flags >= 0 && (flags & O_ACCMODE) == O_RDWR) return STDOUT_FILENO;
  if (isatty(STDIN_FILENO) == 1) return STDIN_FILENO;
  int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  opened = fd >= 0;
  return fd;
}

int WhereY() {
  if (!IsTerminal) return 0;
  bool opened = false;
  int fd = TerminalInput(opened);
  if (fd < 0) return CursorPos.row;
  termios saved{};
  int row = -1;
  if (tcgetattr(fd, &saved) == 0) {
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &raw) == 0) {
      Emit("\x1b[6n");
      row = ReadCursorRow(fd);
      tcsetattr(fd, TCSANOW, &saved);
    }
  }
  if (opened) close(fd);
  return row >= 0 ? row : CursorPos.row;
}

void ClearScreen() {
  CursorPos = {0, 0};
  Emit("\x1b[2J\x1b[H");
}

void ClearLine(int16_t row) {
  CursorPos = {0, row};
  Emit(MoveTo(0, row) + "\x1b[2K");
}

void SetWindowTitle(const std::string& title) {
  // Control characters from a catalogue name must not reach the terminal as commands.
  std::string clean;
  for (char c : title)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) clean += c;
  Emit("\x1b]0;" + clean + "\x07");
}

bool ConsoleIsReal() { return isatty(STDOUT_FILENO) == 1; }
