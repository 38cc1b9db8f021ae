// The size typed for a new virtual disk, and the size a disk's own header states.
#pragma once
#include <cstdint>
#include <string>

// What becomes of a typed size.
enum class SizeAnswer {
  Accepted,      // goes to qemu-img as typed
  Cancel,        // "0": no disk is made
  AskAgain,      // one of the refusals the size prompt has always made without a word
  Refused,       // refused with a line that says why
};

// Judges a typed size: digits and at most one unit letter (K, M, G or T in either case; none
// = bytes), a number that is not 0, from 1 MiB to 2 TiB. bytes gets the size of an accepted
// one; reason the line for a Refused one.
SizeAnswer JudgeDiskSize(const std::string& size, std::uint64_t& bytes, std::string& reason);

// The size the guest sees, from the disk's own header: a VMDK sparse disk (what qemu-img
// makes here) or a qcow2 image. False when the file has neither header.
bool ReadVirtualSize(const std::string& path, std::uint64_t& bytes);

// A size for the user in the largest unit of 1024 that holds it whole ("5 GB", "1536 MB",
// "100 KB", "1000001 bytes").
std::string WholeSizeText(std::uint64_t bytes);
