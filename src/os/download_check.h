// The checks around an image download: the publisher's checksum list, and the hash of the
// image, followed while wget writes it.
#pragma once
#include <memory>
#include <string>

#include "main_func/download_hasher.h"
#include "os/checksum_list.h"

// Fetches the checksum list fresh into the download folder, finds the image's SHA-256 or
// SHA-512 in it and removes the list again. On failure shows why and returns false. Link and
// file name must have passed the entry's value check (os/entry_values.h).
bool FetchChecksumList(const std::string& link, const std::string& filename,
                       ListedHash& expected);
std::string ChecksumListCommandLine(const std::string& appDir, const std::string& imagesDir,
                                    const std::string& filename, const std::string& link);

// Checks the fetched file against the expected hash, with what the hasher has already read.
// A mismatch is confirmed on the whole file before the image is refused (the follower may
// have missed wget starting the file over). Shows a progress line when the rest takes long.
bool FetchedHasHash(const std::string& fetched, const ListedHash& expected,
                    DownloadHasher& hasher);
