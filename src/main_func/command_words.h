// Command-line words as Windows programs see them: the process layer splits command lines
// this way on POSIX, and the QEMU front end rebuilds the command line it hands on.
#pragma once
#include <string>
#include <vector>

// Splits a line into words by the Windows argv rules: blanks and tabs separate words,
// double quotes group them, and backslashes are literal unless they precede a quote.
std::vector<std::string> SplitWords(const std::string& line);

// Quotes a word so that SplitWords (and every Windows program) reads it back unchanged.
std::string QuoteWord(const std::string& word);

// A tool's command line: dir (ending in a separator) in front of relCommand, whose first
// word names the tool below dir. The program word is enclosed in double quotes when it holds
// a blank ("C:\Program Files\..."); otherwise Windows might start "C:\Program.exe", and
// the tool itself would take the rest of its own name for an argument.
std::string ToolCommandLine(const std::string& dir, const std::string& relCommand);

// The words quoted where needed and joined by single blanks.
std::string JoinWords(const std::vector<std::string>& words);
