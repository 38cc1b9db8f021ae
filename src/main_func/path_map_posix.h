// How the Windows-style paths and program names of the rest of the program are mapped to
// POSIX ones. Used only by the POSIX halves of main_func.
#pragma once
#include <string>
#include <vector>

// Backslashes become slashes.
std::string MapSlashes(const std::string& path);
// Names to try for a file, exact name first: "x.exe" also matches "x".
std::vector<std::string> ExeAliases(const std::string& mappedPath);
// Names to try for a program word: as ExeAliases, and a name without an extension also
// matches the name with ".exe", as Windows would append it.
std::vector<std::string> ProgramAliases(const std::string& mappedPath);
// Splits a command line into words as a Windows program's argv would see it: blanks and
// tabs separate words, double quotes group them, and backslashes only escape a quote.
// Backslashes that remain are mapped to slashes in every word.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
// Parent folder of a mapped path ("." when it has none).
std::string ParentDir(const std::string& mappedPath);
