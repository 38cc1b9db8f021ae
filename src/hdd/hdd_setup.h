// Creating, partitioning and deleting the virtual hard disk.
#pragma once
#include <string>

std::string QemuImgCommandLine(const std::string& appDir, const std::string& imagesDir,
                               const std::string& size);
void RunPartitionManager();
bool CreateHdd();
void DeleteHdd();
