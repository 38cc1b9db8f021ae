// Line input from standard input, shared by every screen.
#pragma once
#include <cstdio>
#include <string>

// Reads one line without its line end (a trailing CR is dropped too).
// Returns false at the end of standard input, with line empty.
bool ReadLine(std::string& line);
// Reads one line and discards it: the pause after a prompt. Returns at once at the end of input.
void WaitForEnter();
// True once a read has met the end of standard input.
bool InputEnded();

// Reads from another stream from now on (tests); also clears the end-of-input state.
void SetInputStream(std::FILE* stream);
