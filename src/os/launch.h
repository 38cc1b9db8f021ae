// Launch screen building blocks: title box, memory menu, host line, accelerator, memory check.
#pragma once
#include <cstdint>
#include <string>

extern bool HostIs64Bit;

void ShowOsBox(const std::string& name, const std::string& version);
int SelectRam();
bool ShowHostOs();
void StartKqemu();
void StopKqemu();
bool CheckRamForQemu(int megabytes);
// The ending of a launch refused before the memory menu: the reason line, then a pause.
void ShowLaunchRefused(const std::string& line);
// The launch failure ending after a refused memory check.
void LaunchFailureEnding();

// Where CheckRamForQemu takes the free physical memory in bytes from; tests replace it.
using AvailPhysReader = uint64_t (*)();
extern AvailPhysReader ReadAvailPhys;
