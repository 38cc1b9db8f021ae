#include "db/ini_document.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "db/ini_file.h"
#include "main_func/file_ops.h"
#include "main_func/files.h"
#include "main_func/text_helpers.h"

// Duplicate sections: the first one with a name is the one that is read and written, the
// others are kept as they are; EraseSection removes them all, so that an erased section can
// never come back with stale keys from a later duplicate. Within a section the first
// matching key likewise wins.

namespace {

constexpr std::size_t MaxValueLength = 2047;
constexpr std::string_view Bom = "\xEF\xBB\xBF";

enum class Kind { Other, Section, Key };

struct ParsedLine {
  Kind kind = Kind::Other;
  std::string_view name;
  std::string_view value;
};

ParsedLine ParseLine(std::string_view text) {
  ParsedLine p;
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '[') {
    t.remove_prefix(1);
    std::size_t close = t.find(']');
    p.kind = Kind::Section;
    p.name = Trim(t.substr(0, close));
    return p;
  }
  std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return p;
  p.kind = Kind::Key;
  p.name = Trim(text.substr(0, eq));
  // Values end at a NUL byte, as C strings do: every value may become part of a path or a
  // command line, and there the system would see only the text before the NUL anyway, so
  // the program would show one name and use another.
  std::string_view value = text.substr(eq + 1);
  value = value.substr(0, value.find('\0'));
  p.value = Trim(value);
  return p;
}

// A value spread over several lines would start new keys or sections when read back.
std::string OneLine(const std::string& value) {
  std::string v = value;
  for (char& c : v) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return v;
}

// The file is replaced through a rename, which would pass over the read-only mark that a
// direct write into the file respects; a read-only INI file must stay as it is.
bool IsReadOnlyFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status st = fs::status(NativePath(path), ec);
  if (ec || !fs::is_regular_file(st)) return false;
  const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (st.permissions() & write) == fs::perms::none;
}

}  // namespace

bool ParseIniInteger(const std::string& text, int& value) {
  std::string_view s = text;
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  const std::uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
  std::uint64_t magnitude = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0 || d >= base) return false;
    magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
    if (magnitude > limit) return false;
  }
  std::int64_t signedValue = static_cast<std::int64_t>(magnitude);
  value = static_cast<int>(negative ? -signedValue : signedValue);
  return true;
}

bool IniDocument::Load(const std::string& path) {
  Changed();
  lines_.clear();
  bom_ = false;
  newLine_ = "\r\n";
  unreadable_ = false;
  std::string data;
  if (ReadWholeFile(path, data)) {
    Parse(data);
    return true;
  }
  unreadable_ = FileExists(path);
  return !unreadable_;
}

void IniDocument::Parse(const std::string& data) {
  Changed();
  lines_.clear();
  newLine_ = "\r\n";
  std::string_view rest = data;
  bom_ = rest.substr(0, Bom.size()) == Bom;
  if (bom_) rest.remove_prefix(Bom.size());
  bool endSeen = false;
  while (!rest.empty()) {
    // A lone CR ends a line too, as in files from old Macintosh editors; without it such a
    // file would be one long line and every key in it unreadable.
    std::size_t stop = rest.find_first_of("\r\n");
    Line line;
    if (stop == std::string_view::npos) {
      line.text = std::string(rest);
      rest = {};
    } else {
      const bool crlf = rest[stop] == '\r' && stop + 1 < rest.size() && rest[stop + 1] == '\n';
      line.text = std::string(rest.substr(0, stop));
      line.end = crlf ? "\r\n" : std::string(1, rest[stop]);
      rest.remove_prefix(stop + line.end.size());
      if (!endSeen) newLine_ = line.end;
      endSeen = true;
    }
    lines_.push_back(std::move(line));
  }
}

std::string IniDocument::Text() const {
  std::string out = bom_ ? std::string(Bom) : std::string();
  for (const Line& line : lines_) {
    out += line.text;
    out += line.end;
  }
  return out;
}

// Through the file seam, so that tests can fail the save of Own.ini and the other files.
void IniDocument::Save(const std::string& path) const {
  if (unreadable_ || IsReadOnlyFile(path) || !Files().WriteFileAtomic(path, Text())) {
    throw IniWriteError(path);
  }
}

std::size_t IniDocument::FindSection(const std::string& section) const {
  if (!indexed_) {
    index_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      ParsedLine p = ParseLine(lines_[i].text);
      if (p.kind == Kind::Section) index_.emplace(Lower(p.name), i);
    }
    indexed_ = true;
  }
  auto found = index_.find(Lower(section));
  return found == index_.end() ? npos : found->second;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
  for (std::size_t i = header + 1; i < lines_.size(); ++i) {
    if (ParseLine(lines_[i].text).kind == Kind::Section) return i;
  }
  return lines_.size();
}

std::size_t IniDocument::FindKey(std::size_t header, const std::string& key) const {
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    ParsedLine p = ParseLine(lines_[i].text);
    if (p.kind == Kind::Key && SameNoCase(p.name, key)) return i;
  }
  return npos;
}

void IniDocument::InsertLine(std::size_t at, const std::string& text) {
  Changed();
  if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = newLine_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{text, newLine_});
}

std::string IniDocument::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
  std::size_t header = FindSection(section);
  if (header == npos) return defaultValue;
  std::size_t at = FindKey(header, key);
  if (at == npos) return defaultValue;
  std::string_view value = ParseLine(lines_[at].text).value;
  return std::string(value.substr(0, MaxValueLength));
}

int IniDocument::ReadInteger(const std::string& section, const std::string& key,
                             int defaultValue) const {
  int value = 0;
  return ParseIniInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool IniDocument::ReadBool(const std::string& section, const std::string& key,
                           bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniDocument::SectionExists(const std::string& section) const {
  return FindSection(section) != npos;
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const Line& line : lines_) {
    ParsedLine p = ParseLine(line.text);
    if (p.kind == Kind::Section) names.emplace_back(p.name);
  }
  return names;
}

void IniDocument::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
  const std::string v = OneLine(value);
  std::size_t header = FindSection(section);
  if (header == npos) {
    InsertLine(lines_.size(), "[" + section + "]");
    InsertLine(lines_.size(), key + "=" + v);
    return;
  }
  std::size_t at = FindKey(header, key);
  if (at != npos) {
    lines_[at].text = std::string(ParseLine(lines_[at].text).name) + "=" + v;
    Changed();
    return;
  }
  // After the section's last non-empty line, so that a blank line before the next section
  // stays where it is.
  std::size_t insertAt = header + 1;
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (!Trim(lines_[i].text).empty()) insertAt = i + 1;
  }
  InsertLine(insertAt, key + "=" + v);
}

void IniDocument::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

bool IniDocument::EraseSection(const std::string& section) {
  bool erased = false;
  for (std::size_t header = FindSection(section); header != npos; header = FindSection(section)) {
    std::size_t end = SectionEnd(header);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    Changed();
    erased = true;
  }
  return erased;
}

void IniDocument::EraseSections(const std::vector<std::string>& sections) {
  std::unordered_map<std::string, bool> erase;
  for (const std::string& s : sections) erase.emplace(Lower(s), true);
  std::vector<Line> kept;
  kept.reserve(lines_.size());
  bool skipping = false;
  for (Line& line : lines_) {
    ParsedLine p = ParseLine(line.text);
    if (p.kind == Kind::Section) skipping = erase.count(Lower(p.name)) != 0;
    if (!skipping) kept.push_back(std::move(line));
  }
  lines_ = std::move(kept);
  Changed();
}

void IniDocument::AppendSection(const std::string& section,
                                const std::vector<std::pair<std::string, std::string>>& keys) {
  InsertLine(lines_.size(), "[" + section + "]");
  for (const auto& [key, value] : keys) InsertLine(lines_.size(), key + "=" + OneLine(value));
}
