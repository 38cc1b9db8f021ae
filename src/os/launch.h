// Launch screen building blocks: title box, memory menu, host line, accelerator, memory check.
#pragma once
#include <cstdint>
#include <string>

extern bool HostIs64Bit;

void ShowOsBox(const std::string& name, const std::string& version);
// The memory menu: 128 to 1024 MB, and on a 64-bit host 2048 to 16384 MB as far as each is at
// most half the host's total memory. Returns the chosen megabytes, or -99 for Exit.
int SelectRam();
// How many amount lines the memory menu offers for a host (5 to 9).
int RamMenuLines(uint64_t totalBytes, bool host64);
bool ShowHostOs();
void StartKqemu();
void StopKqemu();
// Checks the amount against 10 MB, on 32-bit hosts (HostIs64Bit unset) against 2047 MB, and
// against the free memory; writes the " Ram for qemu: " line. Skipped when DisableRamCheck.
bool CheckRamForQemu(int megabytes);
// The ending of a launch refused before the memory menu: the reason line, then a pause.
void ShowLaunchRefused(const std::string& line);
// The launch failure ending after a refused memory check.
void LaunchFailureEnding();

// Where CheckRamForQemu takes the free physical memory in bytes from; tests replace it.
using AvailPhysReader = uint64_t (*)();
extern AvailPhysReader ReadAvailPhys;

// Where SelectRam takes the host's total physical memory in bytes from; tests replace it.
using TotalPhysReader = uint64_t (*)();
extern TotalPhysReader ReadTotalPhys;
