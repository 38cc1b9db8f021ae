// Console screen control with the Win32 console calls. On a redirected handle the calls
// fail without effect, which is what a redirected run should see.
#include "c_api/console.h"

#include <windows.h>

#include <cstdio>

namespace {

HANDLE ConsoleOut = nullptr;
uint16_t ScreenCols = 0;
uint16_t ScreenRows = 0;
COORD CursorPos = {0, 0};

// Screen text goes through C stdio; it must reach the console before the cursor moves.
void FlushText() { std::fflush(stdout); }

}  // namespace

void ConsoleInit() {
  FlushText();
  ConsoleOut = GetStdHandle(STD_OUTPUT_HANDLE);
  COORD largest = GetLargestConsoleWindowSize(ConsoleOut);
  ScreenCols = static_cast<uint16_t>(largest.X);
  ScreenRows = static_cast<uint16_t>(largest.Y);
}

void GotoXY(int16_t column, int16_t row) {
  FlushText();
  CursorPos.X = column;
  CursorPos.Y = row;
  SetConsoleCursorPosition(ConsoleOut, CursorPos);
}

int WhereY() {
  FlushText();
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(ConsoleOut, &info);
  return info.dwCursorPosition.Y;
}

void ClearScreen() {
  FlushText();
  CursorPos.X = 0;
  CursorPos.Y = 0;
  DWORD written = 0;
  FillConsoleOutputCharacterA(ConsoleOut, ' ', static_cast<DWORD>(ScreenCols) * ScreenRows,
                              CursorPos, &written);
  GotoXY(0, 0);
}

void ClearLine(int16_t row) {
  FlushText();
  CursorPos.X = 0;
  CursorPos.Y = row;
  DWORD written = 0;
  FillConsoleOutputCharacterA(ConsoleOut, ' ', ScreenCols, CursorPos, &written);
  GotoXY(0, row);
}

void SetWindowTitle(const std::string& title) {
  FlushText();
  SetConsoleTitleA(title.c_str());
}

bool ConsoleIsReal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}
