// Writing screen text to standard output: whole lines, and texts that stay on the line.
#pragma once
#include <cstdio>
#include <string>

// Writes text followed by a line end.
void WriteLine(const std::string& text = "");
// Writes text without a line end and flushes it.
void WriteText(const std::string& text);

// Writes to another stream from now on (tests).
void SetOutputStream(std::FILE* stream);
