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
// Sets the console window title (SetConsoleTitleA on Windows).
void SetWindowTitle(const std::string& title);
// True when standard output is a real console or terminal.
bool ConsoleIsReal();
