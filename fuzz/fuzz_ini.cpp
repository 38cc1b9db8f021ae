// The INI reader and writer on any file bytes. Every read must agree with a plain model of
// the reading rules; the unchanged file must come back byte for byte; and writes and erases
// must do exactly what they say and nothing else.
#include <algorithm>
#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "db/ini_document.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_targets.h"

namespace {

using fuzz::Show;

const std::string Default = "\x01(default)";
constexpr size_t MaxValue = 2047;
constexpr size_t MaxNames = 8;

bool Blank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(std::string s) {
  size_t b = 0, e = s.size();
  while (b < e && Blank(s[b])) ++b;
  while (e > b && Blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool Same(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// A value is a C string to everything that uses it: it ends at a NUL byte.
std::string ValueOf(std::string raw) {
  const size_t nul = raw.find('\0');
  if (nul != std::string::npos) raw.resize(nul);
  return Trim(raw);
}

// The reading rules, written down as plainly as possible.
class Model {
 public:
  explicit Model(const std::string& file) {
    std::string text = file;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    std::string line;
    bool open = false;
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '\n' || c == '\r') {
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        Add(line);
        line.clear();
        open = false;
      } else {
        line += c;
        open = true;
      }
    }
    if (open) Add(line);
  }

  std::string Read(const std::string& section, const std::string& key,
                   const std::string& def) const {
    size_t i = 0;
    while (i < lines_.size() && !(lines_[i].section && Same(lines_[i].name, section))) ++i;
    if (i == lines_.size()) return def;
    for (++i; i < lines_.size() && !lines_[i].section; ++i) {
      if (lines_[i].key && Same(lines_[i].name, key)) return lines_[i].value.substr(0, MaxValue);
    }
    return def;
  }

  std::vector<std::string> Sections() const { return Names(true); }
  std::vector<std::string> Keys() const { return Names(false); }

 private:
  struct Line {
    bool section = false;
    bool key = false;
    std::string name, value;
  };

  void Add(const std::string& text) {
    Line l;
    const std::string t = Trim(text);
    if (!t.empty() && t[0] == '[') {
      l.section = true;
      l.name = Trim(t.substr(1, t.find(']') == std::string::npos ? std::string::npos : t.find(']') - 1));
    } else if (text.find('=') != std::string::npos) {
      const size_t eq = text.find('=');
      l.key = true;
      l.name = Trim(text.substr(0, eq));
      l.value = ValueOf(text.substr(eq + 1));
    }
    lines_.push_back(l);
  }

  std::vector<std::string> Names(bool sections) const {
    std::vector<std::string> names;
    for (const Line& l : lines_) {
      if ((sections ? l.section : l.key) && names.size() < MaxNames) names.push_back(l.name);
    }
    return names;
  }

  std::vector<Line> lines_;
};

struct Names {
  std::vector<std::string> sections, keys;
};

void AddUnique(std::vector<std::string>& names, const std::string& name) {
  if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

Names Candidates(const Model& model) {
  Names n;
  for (const std::string& s : model.Sections()) AddUnique(n.sections, s);
  for (const char* s : {"main", "MAIN", "1", "old1", ""})
    AddUnique(n.sections, s);
  for (const std::string& k : model.Keys()) AddUnique(n.keys, k);
  for (const char* k : {"count", "name", "Name", "vga", ""})
    AddUnique(n.keys, k);
  return n;
}

// Names the program itself writes: no brackets or equals signs where they would change the
// meaning of the line, no line breaks, nothing to trim.
bool WritableSection(const std::string& s) {
  return s.find_first_of("]\r\n") == std::string::npos && Trim(s) == s;
}
bool WritableKey(const std::string& k) {
  return k.find_first_of("=\r\n") == std::string::npos && Trim(k) == k &&
         (k.empty() || k[0] != '[');
}

// Every read of every candidate name, as the document gives it.
using Reads = std::vector<std::string>;
Reads ReadAll(const IniDocument& doc, const Names& n) {
  Reads r;
  for (const std::string& s : n.sections)
    for (const std::string& k : n.keys) r.push_back(doc.ReadString(s, k, Default));
  return r;
}

void CheckReads(const IniDocument& doc, const std::string& text, const Names& n,
                const char* when) {
  const Model model(text);
  for (const std::string& s : n.sections) {
    for (const std::string& k : n.keys) {
      const std::string got = doc.ReadString(s, k, Default);
      const std::string want = model.Read(s, k, Default);
      FUZZ_CHECK(got == want, std::string(when) + ": ReadString(" + Show(s) + ", " + Show(k) +
                                  ") gave " + Show(got) + ", the rules say " + Show(want));
      int parsed = 0;
      const bool isInteger = ParseIniInteger(model.Read(s, k, ""), parsed);
      const int number = doc.ReadInteger(s, k, -12345);
      FUZZ_CHECK(number == (isInteger ? parsed : -12345),
                 std::string(when) + ": ReadInteger(" + Show(s) + ", " + Show(k) + ")");
      FUZZ_CHECK(doc.ReadBool(s, k, true) == (isInteger ? parsed != 0 : true),
                 std::string(when) + ": ReadBool(" + Show(s) + ", " + Show(k) + ")");
    }
  }
}

// Saves and loads the document, as the file round trip of every write does.
IniDocument Reloaded(const IniDocument& doc, std::string& text) {
  text = doc.Text();
  IniDocument again;
  again.Parse(text);
  FUZZ_CHECK(again.Text() == text, "a written file does not read back byte for byte: " + Show(text));
  return again;
}

// The other reads stay as they were: only (section, key) may differ (any key of the section
// when key is null).
void CheckOthersUnchanged(const Reads& before, const Reads& after, const Names& n,
                          const std::string& section, const std::string* key, const char* what) {
  size_t i = 0;
  for (const std::string& s : n.sections) {
    for (const std::string& k : n.keys) {
      const bool touched = Same(s, section) && (key == nullptr || Same(k, *key));
      FUZZ_CHECK(touched || before[i] == after[i],
                 std::string(what) + " of " + Show(section) + " changed [" + Show(s) + "] " +
                     Show(k) + " from " + Show(before[i]) + " to " + Show(after[i]));
      ++i;
    }
  }
}

std::string PickName(fuzz::Random& rnd, const std::vector<std::string>& names,
                     bool (*writable)(const std::string&)) {
  std::vector<std::string> ok;
  for (const std::string& name : names)
    if (writable(name)) ok.push_back(name);
  if (ok.empty()) return "main";
  return ok[rnd.Below(ok.size())];
}

std::string PickValue(fuzz::Random& rnd, const std::string& file) {
  const size_t start = rnd.Below(file.size() + 1);
  std::string v = file.substr(start, rnd.Below(80));
  switch (rnd.Below(6)) {
    case 0: return "  " + v + "\t ";
    case 1: return std::string(MaxValue + 1 + rnd.Below(100), 'v');
    case 2: return v + "\r\n[main]\r\ncount=7";
    case 3: return "";
    default: return v;
  }
}

std::string Expected(std::string v) {
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  return ValueOf(v).substr(0, MaxValue);
}

}  // namespace

int FuzzIni(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  IniDocument doc;
  doc.Parse(file);
  FUZZ_CHECK(doc.Text() == file, "an unchanged file does not come back byte for byte");

  const Names names = Candidates(Model(file));
  CheckReads(doc, file, names, "reading the file");

  fuzz::Random rnd(fuzz::Hash(file));
  std::string text;
  for (int round = 0; round < 4; ++round) {
    const Reads before = ReadAll(doc, names);
    const std::string section = PickName(rnd, names.sections, WritableSection);
    const std::string key = PickName(rnd, names.keys, WritableKey);
    switch (rnd.Below(3)) {
      case 0: {
        const std::string value = PickValue(rnd, file);
        doc.WriteString(section, key, value);
        doc = Reloaded(doc, text);
        const std::string got = doc.ReadString(section, key, Default);
        FUZZ_CHECK(got == Expected(value), "WriteString(" + Show(section) + ", " + Show(key) +
                                               ", " + Show(value) + ") reads back as " + Show(got));
        CheckOthersUnchanged(before, ReadAll(doc, names), names, section, &key, "WriteString");
        break;
      }
      case 1: {
        const int values[] = {0, -1, 1, INT_MAX, INT_MIN, -99, 100};
        const int value = rnd.Below(2) ? values[rnd.Below(7)] : static_cast<int>(rnd.Next());
        doc.WriteInteger(section, key, value);
        doc = Reloaded(doc, text);
        FUZZ_CHECK(doc.ReadInteger(section, key, value == 0 ? 1 : 0) == value,
                   "WriteInteger(" + Show(section) + ", " + Show(key) + ", " +
                       std::to_string(value) + ") reads back otherwise");
        CheckOthersUnchanged(before, ReadAll(doc, names), names, section, &key, "WriteInteger");
        break;
      }
      default: {
        const std::string erased = names.sections[rnd.Below(names.sections.size())];
        const bool existed = doc.SectionExists(erased);
        FUZZ_CHECK(doc.EraseSection(erased) == existed, "EraseSection's answer");
        doc = Reloaded(doc, text);
        FUZZ_CHECK(!doc.SectionExists(erased), "an erased section is still there");
        for (const std::string& k : names.keys) {
          FUZZ_CHECK(doc.ReadString(erased, k, Default) == Default,
                     "after EraseSection(" + Show(erased) + ") " + Show(k) + " is still read");
        }
        CheckOthersUnchanged(before, ReadAll(doc, names), names, erased, nullptr, "EraseSection");
        break;
      }
    }
  }
  if (!text.empty()) CheckReads(doc, text, names, "reading the written file");
  return 0;
}
