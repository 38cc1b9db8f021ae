// The checks around an image download: the publisher's checksum list, the hash of the
// image, followed while wget writes it, and whether a web page arrived instead of the image.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "trust/checksum_list.h"
#include "trust/download_hasher.h"

// Fetches the checksum list fresh into the download folder, finds the image's SHA-256 or
// SHA-512 in it and removes the list again. On failure shows why and returns false. Link and
// file name must have passed the entry's value check (db/entry_values.h).
bool FetchChecksumList(const std::string& link, const std::string& filename,
                       ListedHash& expected);
std::string ChecksumListCommandLine(const std::string& appDir, const std::string& imagesDir,
                                    const std::string& filename, const std::string& link);

// Checks the fetched file against the expected hash, with what the hasher has already read.
// A mismatch is confirmed on the whole file before the image is refused (the follower may
// have missed wget starting the file over). Shows a progress line when the rest takes long.
bool FetchedHasHash(const std::string& fetched, const ListedHash& expected,
                    DownloadHasher& hasher);

// How much of a fetched file is read to tell a web page: enough for the blank lines that
// some servers send before the page itself.
constexpr std::size_t WebPageHeadSize = 4096;

// True for the start of a web page: "<!DOCTYPE html" or "<html" in any letter case, after
// blanks and line ends (and a UTF-8 byte order mark).
bool IsWebPageText(const std::string& head);
