#include "trust/checksum_list.h"

#include "main_func/text_helpers.h"

#include <sstream>

namespace {

// Blanks around a list's words, and the carriage return of a Windows line.
std::string Trimmed(const std::string& text) { return std::string(Trim(text, " \t\r")); }

bool IsHex(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (HexDigit(c) < 0) return false;
  return true;
}

bool NameMatches(const std::string& listed, const std::string& fileName) {
  if (listed == fileName) return true;
  return listed.size() > fileName.size() &&
         listed.compare(listed.size() - fileName.size(), fileName.size(), fileName) == 0 &&
         listed[listed.size() - fileName.size() - 1] == '/';
}

// The kind a hexadecimal hash of that length is, if SHA-256 or SHA-512.
bool KindByLength(const std::string& hex, DigestKind& kind) {
  if (hex.size() == 64) kind = DigestKind::Sha256;
  else if (hex.size() == 128) kind = DigestKind::Sha512;
  else return false;
  return true;
}

// "SHA256 (name) = HASH", also "SHA-256", "SHA512"; other tags (MD5, SHA1) give false.
bool ParseBsd(const std::string& line, std::string& name, DigestKind& kind, std::string& hex) {
  const std::size_t open = line.find('(');
  const std::size_t close = line.rfind(") =");
  const std::size_t closeTight = line.rfind(")=");
  const std::size_t end = close != std::string::npos ? close : closeTight;
  if (open == std::string::npos || end == std::string::npos || end < open) return false;
  std::string tag = Lower(Trim(line.substr(0, open), " \t\r"));
  if (tag == "sha256" || tag == "sha-256") kind = DigestKind::Sha256;
  else if (tag == "sha512" || tag == "sha-512") kind = DigestKind::Sha512;
  else return false;
  name = line.substr(open + 1, end - open - 1);
  hex = Trimmed(line.substr(line.find('=', end) + 1));
  return IsHashText(kind, hex);
}

// "HASH  name" (text mode), "HASH *name" (binary mode), or one blank between them.
bool ParseGnu(const std::string& line, std::string& name, DigestKind& kind, std::string& hex) {
  const std::size_t blank = line.find_first_of(" \t");
  if (blank == std::string::npos) return false;
  hex = line.substr(0, blank);
  if (!IsHex(hex) || !KindByLength(hex, kind)) return false;
  std::size_t at = blank + 1;
  if (at < line.size() && (line[at] == ' ' || line[at] == '*')) ++at;
  name = line.substr(at);
  return !name.empty();
}

}  // namespace

bool FindListedHash(const std::string& list, const std::string& fileName, ListedHash& found,
                    bool* twoValues) {
  std::string hashes[2];  // by kind: SHA-256, SHA-512
  bool conflict[2] = {false, false};
  std::istringstream lines(list);
  for (std::string line; std::getline(lines, line);) {
    line = Trimmed(line);
    std::string name, hex;
    DigestKind kind = DigestKind::Sha256;
    if (!ParseBsd(line, name, kind, hex) && !ParseGnu(line, name, kind, hex)) continue;
    if (fileName.empty() || !NameMatches(Trimmed(name), fileName)) continue;
    const int slot = kind == DigestKind::Sha512 ? 1 : 0;
    hex = Lower(hex);
    if (!hashes[slot].empty() && hashes[slot] != hex) conflict[slot] = true;
    hashes[slot] = hex;
  }
  // Two different hashes for one file: the list cannot be trusted for it at all.
  if (twoValues) *twoValues = conflict[0] || conflict[1];
  if (conflict[0] || conflict[1]) return false;
  for (int slot = 0; slot < 2; ++slot) {
    if (hashes[slot].empty()) continue;
    found.kind = slot == 1 ? DigestKind::Sha512 : DigestKind::Sha256;
    found.hex = hashes[slot];
    return true;
  }
  return false;
}
