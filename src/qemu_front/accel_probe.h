// Which accelerators the QEMU to be run has, as it answers "-accel help", less KVM when it
// does not start a processor there; the answer is kept in qemu\accel.cache so that only the
// first launch of a QEMU (on this kernel) pays for the questions.
#pragma once
#include <string>
#include <vector>

// The names listed after "Accelerators supported in QEMU binary:".
std::vector<std::string> ParseAccelHelp(const std::string& output);

// Asks qemu (a full path) for its accelerators, or takes the answer from the cache file in
// dir (the front end's folder, ending in a separator) when it was given for the same path,
// size and modification time and the same kernel. An empty list when QEMU does not answer.
// "kvm" stays in the list only when QEMU starts a KVM processor of the model the front end
// gives KVM guests (see accel_probe.cpp).
std::vector<std::string> ProbeAccelerators(const std::string& qemu, const std::string& dir);
