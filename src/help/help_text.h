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
extern const TextLines HelpOptionsIni;

extern const TextLines LicenseLines;
