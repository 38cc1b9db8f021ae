#include "trust/signed_release.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "db/ini_file.h"
#include "db/update_server.h"
#include "main_func/files.h"
#include "main_func/text_helpers.h"
#include "trust/release_keys.h"
#include "trust/signature.h"

namespace {

std::string Trimmed(const std::string& text) { return std::string(Trim(text, " \t\n\v\f\r")); }

bool SignedByTrustedKey(const std::vector<std::string>& keys, const std::string& verIni) {
  std::string data;
  std::string signature;
  if (FileSize64(verIni) > MaxVersionFileSize || FileSize64(verIni + ".sig") > MaxVersionFileSize ||
      !ReadWholeFile(verIni, data) || !ReadFileHead(verIni + ".sig", 1024, signature))
    return false;
  signature = Trimmed(signature);
  for (const std::string& key : keys)
    if (VerifyP256Signature(data, signature, key)) return true;
  return false;
}

// A serial is a plain decimal number; 64 bits, since the release tool's default (the time
// in seconds) outgrows 32 bits in 2038.
bool ParseSerial(const std::string& text, std::uint64_t& serial) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return std::from_chars(text.data(), text.data() + text.size(), serial).ec == std::errc();
}

bool IsDate(const std::string& text) {
  int y = 0;
  unsigned m = 0;
  unsigned d = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  if (std::sscanf(text.c_str(), "%4d-%2u-%2u", &y, &m, &d) != 3) return false;
  return std::chrono::year_month_day(std::chrono::year(y), std::chrono::month(m),
                                     std::chrono::day(d))
      .ok();
}

// The dates of the last version file found expired, for its message: a computer whose clock
// is far off is seen at once.
std::string ExpiredOn;
std::string ExpiredToday;

}  // namespace

// Today in UTC as YYYY-MM-DD: a version file is good up to and including its expires day,
// the same day everywhere, whatever the user's time zone.
std::string TodayUtc() {
  const std::chrono::year_month_day today(
      std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(today.year()),
                static_cast<unsigned>(today.month()), static_cast<unsigned>(today.day()));
  return text;
}

std::vector<std::string> TrustedKeys(const std::string& appDir) {
  if (IsBuiltInUpdateServer(UpdateServer(appDir)))
    return std::vector<std::string>(std::begin(ReleaseKeys), std::end(ReleaseKeys));
  const std::string key =
      Trimmed(IniFile(appDir + "options.ini").ReadString("update", "key", ""));
  // A key that is given but malformed is still a key: it verifies nothing, so the server
  // is refused rather than read unchecked.
  if (key.empty()) return {};
  return {key};
}

ReleaseCheck CheckRelease(const std::vector<std::string>& keys, const std::string& verIni,
                          const std::string& releaseIni) {
  if (keys.empty()) return ReleaseCheck::Unsigned;
  if (!FileExists(verIni)) return ReleaseCheck::Missing;
  if (!SignedByTrustedKey(keys, verIni)) return ReleaseCheck::BadSignature;

  const IniFile file(verIni);
  std::uint64_t serial = 0;
  const std::string expires = Trimmed(file.ReadString("release", "expires", ""));
  if (!ParseSerial(Trimmed(file.ReadString("release", "serial", "")), serial) || !IsDate(expires))
    return ReleaseCheck::NoRelease;

  IniFile kept(releaseIni);
  std::uint64_t keptSerial = 0;
  if (!ParseSerial(Trimmed(kept.ReadString("release", "serial", "")), keptSerial)) keptSerial = 0;
  if (serial < keptSerial) return ReleaseCheck::Older;
  // Both are YYYY-MM-DD, so the text order is the date order.
  if (expires < TodayUtc()) {
    ExpiredOn = expires;
    ExpiredToday = TodayUtc();
    return ReleaseCheck::Expired;
  }

  if (serial > keptSerial) {
    try {
      kept.WriteString("release", "serial", std::to_string(serial));
    } catch (const IniWriteError&) {
      // The update goes on; the next check compares with the serial kept before.
    }
  }
  return ReleaseCheck::Accepted;
}

std::string ReleaseProblem(ReleaseCheck check) {
  switch (check) {
    case ReleaseCheck::NoRelease:
      return "has no valid [release] serial and expires";
    case ReleaseCheck::Older:
      return "is older than one accepted before";
    case ReleaseCheck::Expired:
      return "has expired (valid until " + ExpiredOn + "; this computer's date is " +
             ExpiredToday + ")";
    default:
      return "is not signed correctly";
  }
}
