// The texts of the help screens: the user guide in its parts, the credits and the licence.
#pragma once
#include <vector>

using TextLines = std::vector<const char*>;

extern const char* const CreditCreator;
extern const char* const CreditContact;

// The guide's first paragraph, one long line that the console wraps.
extern const char* const HelpIntroLine;
// The guide's three sections, each starting with the empty line that follows a pause.
extern const TextLines HelpStartingOs;
extern const TextLines HelpVirtualHdd;
// Stands in the guide's menu paths for the number of the main menu's Options entry, which
// follows the catalogue's categories; the help screen writes the number in its place.
extern const char* const OptionsNumberMark;
extern const TextLines HelpOptionsIni;

extern const TextLines LicenseLines;
