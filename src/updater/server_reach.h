// Whether the update check could ask the server at all.
#pragma once
#include <string>

// Why the server's version file did not arrive, or "" when it did: wget failed (wgetCode,
// as RunAndWait returns it), or the file at verIniPath is missing, empty or has no
// [version] section. Without it every package would look up to date.
std::string UnreachableReason(int wgetCode, const std::string& verIniPath);
