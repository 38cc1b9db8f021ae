// Whether the update server's version file may be read: signed by a key trusted for that
// server, not older than the newest one accepted before, not expired. Used by the updater
// and by the main program's fetch of a missing updater.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A version file and its signature are a few hundred bytes; a larger one is not fetched
// further nor read into memory at all.
constexpr std::uint64_t MaxVersionFileSize = 1 << 20;

// The public keys that vouch for the update server of the installation in appDir (a
// directory ending in a separator): the built-in keys for the built-in server, however its
// address is written (IsBuiltInUpdateServer); for a server named in options.ini [update]
// server, its [update] key. None for a named server without a key: its version file is read
// as it comes, and no signature is fetched.
std::vector<std::string> TrustedKeys(const std::string& appDir);

enum class ReleaseCheck {
  Unsigned,      // no trusted keys: nothing to check
  Accepted,      // signed by a trusted key, current; its serial is kept
  Missing,       // no version file arrived: there is nothing to read or refuse
  BadSignature,  // the signature is missing, malformed or by no trusted key
  NoRelease,     // signed, but without a readable [release] serial and expires
  Older,         // its serial is lower than the highest one accepted before
  Expired,       // its expires date has passed
};

// Checks the downloaded version file verIni against its signature (verIni + ".sig": r then s,
// 128 hexadecimal digits) and the keys. On acceptance the file's serial is kept as
// [release] serial in releaseIni when it is higher than the one kept there.
ReleaseCheck CheckRelease(const std::vector<std::string>& keys, const std::string& verIni,
                          const std::string& releaseIni);

// Today in UTC as YYYY-MM-DD, as expiry dates are written and compared.
std::string TodayUtc();

// What is wrong with a refused version file, worded to follow "The update server's version
// file " ("is not signed correctly"). An expired one names its last valid day and this
// computer's date (UTC), as the last CheckRelease found them.
std::string ReleaseProblem(ReleaseCheck check);
