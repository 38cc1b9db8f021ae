// Whether the server's version file may be read: with trusted keys for the server its
// signature is fetched and checked first (trust/signed_release.h), and a refusal is said here.
#pragma once
#include <string>

#include "updater/versions.h"

enum class ServerTrust {
  Unchecked,  // a named server without a key: read as it comes
  Verified,   // signed and current: every package it offers must carry its sha256
  Refused,    // nothing may be read from it; the line saying why is written
};

// fetch(serverPath, name) fetches a file of the server into the download folder. Runs with
// the server's ver.ini in "updater\temp\"; removes the signature afterwards, and on refusal
// the version file too.
ServerTrust CheckServerVersionFile(void (*fetch)(const std::string&, const std::string&));

// Marks every package of a verified version file as one that needs its sha256.
void RequireSha256(UpdateVersions& versions);
