// Small text helpers that modules share: letter case, blanks, hexadecimal digits and single
// words. They live here rather than in c_api, whose text is what the screen shows; these
// read names, values and command-line words. Letter case is ASCII's only, as Windows
// compares the file names, keys and schemes they serve, whatever the locale.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The text with A-Z made a-z (or a-z made A-Z); every other byte stays.
std::string Lower(std::string_view text);
std::string Upper(std::string_view text);
// True when a and b differ in ASCII letter case at most.
bool SameNoCase(std::string_view a, std::string_view b);
// True when text holds word at position at (or ends in it), letter case aside.
bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
// The text without the given characters at either end (blanks and tabs unless told).
std::string_view Trim(std::string_view text, std::string_view blanks = " \t");
// The value of a hexadecimal digit of either case, -1 for any other character.
int HexDigit(char c);
// True when the text could pass as one command-line word without quotes: it holds no blank,
// tab or double quote (an empty text is one word too).
bool IsOneWord(std::string_view text);
