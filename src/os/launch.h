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
// The launch failure ending after a refused memory check.
void LaunchFailureEnding();

// Where CheckRamForQemu takes the free physical memory in bytes from; tests replace it.
using AvailPhysReader = uint64_t (*)();
extern AvailPhysReader ReadAvailPhys;
