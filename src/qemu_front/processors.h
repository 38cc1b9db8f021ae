// The guest's processors and CPU model: -smp from [qemu] cpus, -cpu from the accelerator.
#pragma once
#include <string>
#include <vector>

#include "qemu_front/translate.h"

// The number of processors a guest gets when [qemu] cpus is empty, on a host with
// hostProcessors logical processors.
int AutomaticCpuCount(int hostProcessors);

// The CPU model for a launch whose accelerator words (the front end's and extra's) are
// words: see processors.cpp for why each.
std::string CpuModel(const std::vector<std::string>& words);

// "-smp N" and "-cpu MODEL" for a launch; either is left out when extra names it. accel
// holds the accelerator words the front end adds (empty when extra chooses). ok is false
// when [qemu] cpus is not a number from 1 to the host's count.
Translation ProcessorArgs(const HostFacts& host, const FrontConfig& config,
                          const std::vector<std::string>& extra, const std::vector<std::string>& accel);
