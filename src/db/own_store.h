// Writers of Own.ini, the user's own category. Both throw IniWriteError when the file
// cannot be written, leaving it unchanged.
#pragma once
#include <string>

std::string OwnFilePath();
// An empty sha256, checksums or firmware writes no such key.
void AppendOwnEntry(const std::string& name, const std::string& version,
                    const std::string& download, const std::string& filename,
                    const std::string& ostype, const std::string& vga,
                    const std::string& sha256 = "", const std::string& checksums = "",
                    const std::string& firmware = "");
void DeleteOwnEntry(int entry);
