// SHA-256 of files, with the platform's own cryptography, for checking downloads against
// the hashes that the catalogue and the update server publish.
#pragma once
#include <string>

// Hashes a whole file, read in blocks of 1 MiB, into 64 lower-case hexadecimal characters.
// False (and hexLower empty) when the file cannot be opened or read, or is a directory.
bool Sha256File(const std::string& path, std::string& hexLower);

// True for exactly 64 hexadecimal characters, in either letter case.
bool IsSha256Text(const std::string& text);

// True when both are SHA-256 texts naming the same hash, letter case aside. A malformed
// text never equals anything, so a broken published hash refuses rather than passes.
bool Sha256Equal(const std::string& a, const std::string& b);

// True when the file's hash is the expected one.
bool FileHasSha256(const std::string& path, const std::string& expected);

// Bytes as lower-case hexadecimal, as the platform halves hand their digests back.
std::string HexText(const unsigned char* bytes, unsigned length);
