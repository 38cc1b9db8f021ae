// Reading publishers' checksum lists: GNU ("HASH  name", "HASH *name"), BSD
// ("SHA256 (name) = HASH"), and lists with sections or header lines around such lines.
#pragma once
#include <cstdint>
#include <string>

#include "trust/digest.h"

// A checksum list is a page of text; anything larger is not one, and is not read.
constexpr std::uint64_t MaxChecksumListSize = 16u << 20;

struct ListedHash {
  DigestKind kind = DigestKind::Sha256;
  std::string hex;  // lower case
};

// Finds the SHA-256 or SHA-512 of fileName in a list. A listed name matches with or without
// folders in front ("./name", "iso/name"). MD5 and SHA-1 lines count as none. When the list
// has both, SHA-256 is taken (the faster to check); two different hashes for the
// file make the list unusable (then *twoValues is set, when given). False when nothing
// usable is found.
bool FindListedHash(const std::string& list, const std::string& fileName, ListedHash& found,
                    bool* twoValues = nullptr);
