// Booting the virtual hard disk alone.
#pragma once
#include <string>

std::string HddBootCommandLine(const std::string& appDir, const std::string& imagesDir,
                               bool host64, bool disableKqemu, int megabytes);
void BootHdd();
