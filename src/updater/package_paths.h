// Whether a package stays inside the folder it is unpacked into: read from the zip
// archive's own list of entries, before any tool sees it.
#pragma once
#include <string>

// The first entry of the zip archive at zipPath that would land outside the folder it is
// unpacked into (a ".." step, an absolute path, a drive or stream name) or that is a link;
// "" when there is none, and for a file that is not a zip archive this can read (7-Zip's
// own test then judges it).
std::string PathOutsidePackage(const std::string& zipPath);
