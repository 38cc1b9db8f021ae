// Which accelerators the QEMU to be run has, as it answers "-accel help"; the answer is
// kept in qemu\accel.cache so that only the first launch of a QEMU pays for the question.
#pragma once
#include <string>
#include <vector>

// The names listed after "Accelerators supported in QEMU binary:".
std::vector<std::string> ParseAccelHelp(const std::string& output);

// Asks qemu (a full path) for its accelerators, or takes the answer from the cache file in
// dir (the front end's folder, ending in a separator) when it was given for the same path,
// size and modification time. An empty list when QEMU does not answer.
std::vector<std::string> ProbeAccelerators(const std::string& qemu, const std::string& dir);
