// Console screen control: the only code that talks to the console itself.
// On a console that is not a terminal (a pipe or a file) every call does nothing.
#pragma once
#include <cstdint>
#include <string>

void ConsoleInit();
void GotoXY(int16_t column, int16_t row);
int WhereY();
void ClearScreen();
void ClearLine(int16_t row);
// Sets the console window title (SetConsoleTitleW on Windows); control characters and
// bytes that are not UTF-8 show as "?".
void SetWindowTitle(const std::string& title);
// True when standard output is a real console or terminal.
bool ConsoleIsReal();

// Writes screen text (UTF-8) to standard output. A Windows console gets it as UTF-16, so it
// shows whatever the console's code page; a POSIX terminal's cursor row is followed.
void ConsoleWrite(const std::string& text);
// Called once before standard input is first read. Windows: a pipe or file is read in
// binary, so a 0x1A byte is a character and not the end of input.
void InputInit();
// True when standard input is a console whose lines come from ReadConsoleLine (Windows).
// A POSIX terminal is read as a stream: its bytes are the UTF-8 the user typed.
bool InputIsConsole();
// One line typed on the console, as UTF-8 and without its line end; false at the end of
// input (Ctrl+Z at the start of a line, or a console that can no longer be read).
bool ReadConsoleLine(std::string& line);
// Tells the console layer that a typed line was read from standard input, which a POSIX
// terminal has echoed, line end included.
void NoteTypedLine(const std::string& line);
