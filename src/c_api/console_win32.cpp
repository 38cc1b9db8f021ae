// Console screen control with the Win32 console calls. On a redirected handle the calls
// fail without effect, which is what a redirected run should see.
//
// Text is UTF-8 inside the program (the application manifest makes UTF-8 the code page of
// every "A" call). The console gets it as UTF-16 through WriteConsoleW and gives typed lines
// through ReadConsoleW, so neither depends on the console's code pages: with the input code
// page set to UTF-8, ReadFile and ReadConsoleA return NUL bytes for non-ASCII characters on
// Windows 10's console host.
#include "c_api/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "c_api/text.h"

namespace {

HANDLE ConsoleOut = nullptr;
uint16_t ScreenCols = 0;
uint16_t ScreenRows = 0;
COORD CursorPos = {0, 0};
UINT SavedOutputCodePage = 0;

// Screen text goes through C stdio; it must reach the console before the cursor moves.
void FlushText() { std::fflush(stdout); }

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

void RestoreOutputCodePage() { SetConsoleOutputCP(SavedOutputCodePage); }

// Once per program: the console's output code page becomes UTF-8 for the tools that share
// the console with us, and goes back to what it was when the program ends.
void PrepareConsole() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  const UINT codePage = GetConsoleOutputCP();
  if (codePage != 0 && codePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    SavedOutputCodePage = codePage;
    std::atexit(RestoreOutputCodePage);
  }
}

std::wstring Utf16(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(std::max(length, 0)), '\0');
  if (length > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  }
  return text;
}

}  // namespace

void ConsoleInit() {
  FlushText();
  PrepareConsole();
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
  SetConsoleTitleW(Utf16(ShownText(title)).c_str());
}

bool ConsoleIsReal() { return IsConsole(GetStdHandle(STD_OUTPUT_HANDLE)); }

void ConsoleWrite(const std::string& text) {
  PrepareConsole();
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!IsConsole(out)) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return;
  }
  FlushText();
  // Line ends as the text-mode stream would have written them.
  std::wstring wide;
  for (wchar_t c : Utf16(text)) {
    if (c == L'\n') wide += L'\r';
    wide += c;
  }
  const wchar_t* next = wide.data();
  size_t left = wide.size();
  while (left > 0) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(left, 4096));
    if (!WriteConsoleW(out, next, chunk, &written, nullptr) || written == 0) break;
    next += written;
    left -= written;
  }
}

void InputInit() {
  PrepareConsole();
  if (!InputIsConsole()) _setmode(_fileno(stdin), _O_BINARY);
}

bool InputIsConsole() { return IsConsole(GetStdHandle(STD_INPUT_HANDLE)); }

bool ReadConsoleLine(std::string& line) {
  line.clear();
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring wide;
  bool ended = false;
  for (;;) {
    wchar_t buffer[256];
    DWORD got = 0;
    if (!ReadConsoleW(in, buffer, 256, &got, nullptr) || got == 0) {
      ended = true;
      break;
    }
    wide.append(buffer, got);
    if (wide.back() == L'\n') break;
  }
  // Ctrl+Z at the start of a line is the console's end of input.
  if (!wide.empty() && wide[0] == L'\x1a') return false;
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r')) wide.pop_back();
  line = Utf8(wide);
  return !(ended && wide.empty());
}

void NoteTypedLine(const std::string&) {}
