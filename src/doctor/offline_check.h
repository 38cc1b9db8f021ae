// The checks of an entry that need no network: what the program applies before it passes
// names and links to wget and QEMU, and what makes a download land under its file name.
#pragma once
#include <string>

#include "db/category.h"

// "" when the entry is sound, else what is wrong with it, in a few words.
std::string OfflineProblem(const OsEntry& os, bool hddManager);

// The last part of a link's path (before any query), which wget saves the file under.
std::string LinkFileName(const std::string& link);
