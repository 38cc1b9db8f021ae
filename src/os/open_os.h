// Opening a chosen OS: launch it, or download its image first.
#pragma once
#include <string>

std::string WgetCommandLine(const std::string& appDir, const std::string& imagesDir,
                            const std::string& download, bool partialPresent);
void OpenOs(int category, int entry, bool old);
bool DownloadImage(const std::string& name, const std::string& version,
                   const std::string& download, const std::string& filename);
