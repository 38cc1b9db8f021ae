// The category readers and the Own writers on any catalogue: random category names and
// counts, random category files, and calls with any category and entry numbers, in range
// or not. Nothing is read outside the tables, a list never has more than 100 entries, the
// "ERROR" and -99 rules hold, and the writers change exactly what they say.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "db/category.h"
#include "db/ini_document.h"
#include "db/ini_file.h"
#include "db/own_store.h"
#include "db/settings.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_targets.h"
#include "main_func/files.h"
#include "main_func/out.h"

namespace {

namespace fs = std::filesystem;
using fuzz::Show;

const std::string Untouched = "\x02(untouched)";
const char* const Files[] = {"Own", "Linux", "BSD"};

// One installation folder for the whole run, removed at the end.
class Installation {
 public:
  Installation() {
    std::random_device device;
    for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
      fs::path candidate = fs::temp_directory_path() /
                           ("qh-fuzz-category-" + std::to_string(device()) + std::to_string(attempt));
      std::error_code ec;
      if (fs::create_directory(candidate, ec)) root_ = candidate;
    }
    fs::create_directories(root_ / "db" / "sub");
  }
  ~Installation() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  std::string AppDir() const {
    return root_.string() + static_cast<char>(fs::path::preferred_separator);
  }
  fs::path File(const std::string& name) const { return root_ / "db" / (name + ".ini"); }

 private:
  fs::path root_;
};

Installation& Inst() {
  static Installation installation;
  return installation;
}

// The text the program wrote since the last call.
class Output {
 public:
  Output() : file_(std::tmpfile()) { SetOutputStream(file_); }
  ~Output() {
    SetOutputStream(nullptr);
    if (file_) std::fclose(file_);
  }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  bool Ok() const { return file_ != nullptr; }

  // How many missing-file reports were written since the last call.
  int MissingReports() {
    std::fflush(file_);
    std::fseek(file_, 0, SEEK_END);
    const long end = std::ftell(file_);
    std::string text(static_cast<size_t>(end - seen_), '\0');
    std::fseek(file_, seen_, SEEK_SET);
    const size_t got = std::fread(text.data(), 1, text.size(), file_);
    text.resize(got);
    std::fseek(file_, 0, SEEK_END);
    seen_ = end;
    // Report lines, not mere mentions: a category name may well hold the same words.
    int reports = 0;
    const std::string marker = " * ERROR File ";
    for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
      if (text.compare(at, marker.size(), marker) == 0) ++reports;
      if (text.find('\n', at) == std::string::npos) break;
    }
    return reports;
  }

 private:
  std::FILE* file_;
  long seen_ = 0;
};

int PickNumber(fuzz::Input& in) {
  const int table[] = {-99, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 100, 101, INT_MAX, INT_MIN};
  const uint8_t b = in.Byte();
  if (b >= 240) return in.Int32();
  return table[b % 16];
}

std::string PickName(fuzz::Input& in) {
  switch (in.Byte() % 12) {
    case 0: return "";
    case 1: case 2: return "Own";
    case 3: return "own";
    case 4: return "Linux";
    case 5: return "BSD";
    case 6: return "..\\db\\Linux";
    case 7: return "sub/../Linux";
    case 8: return std::string(300, 'L');
    case 9: return "..\\..\\..\\..\\..\\..\\..\\..\\etc\\Own";
    default: {
      // Any bytes but NUL and line ends, which no value read from an INI file can hold.
      std::string name = in.String(300);
      for (char& c : name)
        if (c == '\0' || c == '\r' || c == '\n') c = '_';
      return name;
    }
  }
}

bool InCatalogue(int i) { return i >= 1 && i <= std::min(CategoryCount, MaxCategories); }

std::string ExpectedPath(int i) {
  return AppDir + DbDir + "\\" + (InCatalogue(i) ? CategoryNames[static_cast<size_t>(i)] : "") +
         ".ini";
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::path(NativePath(path)), ec);
}

IniDocument Load(const std::string& path) {
  IniDocument doc;
  doc.Load(path);
  return doc;
}

std::string Display(const IniDocument& doc, const std::string& section) {
  return doc.ReadString(section, "name", "ERROR") + " " + doc.ReadString(section, "version", "ERROR");
}

void CheckCount(bool old, int i, Output& out) {
  const std::string path = ExpectedPath(i);
  const bool exists = InCatalogue(i) && Exists(path);
  const int got = old ? GetOldCount(i) : GetOsCount(i);
  int want = -99;
  if (exists) {
    want = std::min(Load(path).ReadInteger("main", old ? "old_count" : "count", old ? -99 : 0),
                    MaxListEntries);
  }
  const std::string what = std::string(old ? "GetOldCount(" : "GetOsCount(") + std::to_string(i) + ")";
  FUZZ_CHECK(got == want, what + " is " + std::to_string(got) + ", not " + std::to_string(want));
  FUZZ_CHECK(got <= MaxListEntries, what + " above the list size");
  FUZZ_CHECK(out.MissingReports() == (exists ? 0 : 1), what + ": missing-file reports");
}

void CheckList(bool old, int i, Output& out) {
  const std::string path = ExpectedPath(i);
  const bool exists = InCatalogue(i) && Exists(path);
  OsList list;
  list.fill(Untouched);
  if (old) GetOldOsList(i, list); else GetOsList(i, list);
  const std::string what = std::string(old ? "GetOldOsList(" : "GetOsList(") + std::to_string(i) + ")";
  FUZZ_CHECK(out.MissingReports() == (exists ? 0 : 2), what + ": missing-file reports");
  FUZZ_CHECK(list[0] == Untouched, what + " wrote slot 0");

  int filled = 0;
  bool error = !exists;
  IniDocument doc;
  if (exists) {
    doc = Load(path);
    const int n = doc.ReadInteger("main", old ? "old_count" : "count", old ? -99 : 0);
    if (old && n < 1) error = true;
    else filled = std::clamp(n, 0, MaxListEntries);
  }
  for (int k = 1; k <= MaxListEntries; ++k) {
    const std::string& slot = list[static_cast<size_t>(k)];
    std::string want = Untouched;
    if (error && k == 1) want = "ERROR";
    if (!error && k <= filled) want = Display(doc, (old ? "old" : "") + std::to_string(k));
    FUZZ_CHECK(slot == want, what + " slot " + std::to_string(k) + " is " + Show(slot) +
                                 ", not " + Show(want));
    FUZZ_CHECK(error || slot != "ERROR", what + ": a readable file listed ERROR");
  }
}

void CheckEntry(int i, int k, bool old, Output& out) {
  const std::string path = ExpectedPath(i);
  const bool exists = InCatalogue(i) && Exists(path);
  OsEntry e{Untouched, Untouched, Untouched, Untouched, Untouched, Untouched};
  ReadOsEntry(i, k, old, e);
  const std::string what = "ReadOsEntry(" + std::to_string(i) + ", " + std::to_string(k) + ")";
  FUZZ_CHECK(out.MissingReports() == (exists ? 0 : 1), what + ": missing-file reports");
  OsEntry want{"ERROR", Untouched, Untouched, Untouched, Untouched, Untouched};
  if (exists) {
    const IniDocument doc = Load(path);
    const std::string s = (old ? "old" : "") + std::to_string(k);
    want = {doc.ReadString(s, "name", "ERROR"),     doc.ReadString(s, "version", "ERROR"),
            doc.ReadString(s, "download", "ERROR"), doc.ReadString(s, "filename", "ERROR"),
            doc.ReadString(s, "ostype", "ERROR"),   doc.ReadString(s, "vga", "cirrus")};
  }
  FUZZ_CHECK(e.name == want.name && e.version == want.version && e.download == want.download &&
                 e.filename == want.filename && e.ostype == want.ostype && e.vga == want.vga,
             what + " read " + Show(e.name) + " " + Show(e.vga));
}

void CheckOwnIndex() {
  int want = -99;
  for (int i = 1; i <= std::min(CategoryCount, MaxCategories) && want == -99; ++i) {
    if (CategoryNames[static_cast<size_t>(i)] == "Own") want = i;
  }
  FUZZ_CHECK(OwnCategoryIndex() == want, "OwnCategoryIndex");
}

struct Fields {
  std::string name, version, download, filename, ostype, vga;
};

Fields ReadFields(const IniDocument& doc, const std::string& s, const std::string& vgaDefault) {
  return {doc.ReadString(s, "name", "ERROR"),     doc.ReadString(s, "version", "ERROR"),
          doc.ReadString(s, "download", "ERROR"), doc.ReadString(s, "filename", "ERROR"),
          doc.ReadString(s, "ostype", "ERROR"),   doc.ReadString(s, "vga", vgaDefault)};
}

bool SameFields(const Fields& a, const Fields& b) {
  return a.name == b.name && a.version == b.version && a.download == b.download &&
         a.filename == b.filename && a.ostype == b.ostype && a.vga == b.vga;
}

// A value as it reads back once written.
std::string Stored(std::string v) {
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  IniDocument doc;
  doc.WriteString("s", "k", v);
  return doc.ReadString("s", "k", "");
}

void CheckAppend(fuzz::Input& in) {
  const std::string path = OwnFilePath();
  std::string old;
  ReadWholeFile(path, old);
  const IniDocument was = Load(path);
  Fields f{in.String(40), in.String(40), in.String(40), in.String(40), in.String(40), in.String(40)};
  try {
    AppendOwnEntry(f.name, f.version, f.download, f.filename, f.ostype, f.vga);
  } catch (const IniWriteError&) {
    std::string now;
    ReadWholeFile(path, now);
    FUZZ_CHECK(now == old, "a failed AppendOwnEntry changed Own.ini");
    return;
  }
  const IniDocument doc = Load(path);
  const int count = was.ReadInteger("main", "count", 0);
  const int entry = count < INT_MAX ? count + 1 : count;
  FUZZ_CHECK(doc.ReadInteger("main", "count", -12345) == entry, "AppendOwnEntry's count");
  const Fields want{Stored(f.name),     Stored(f.version), Stored(f.download),
                    Stored(f.filename), Stored(f.ostype),  Stored(f.vga)};
  FUZZ_CHECK(SameFields(ReadFields(doc, std::to_string(entry), "\x01"), want),
             "AppendOwnEntry's entry " + std::to_string(entry) + " reads back otherwise");
  for (const std::string& s : was.SectionNames()) {
    if (s == std::to_string(entry) || s == "main") continue;
    FUZZ_CHECK(SameFields(ReadFields(doc, s, "\x01"), ReadFields(was, s, "\x01")),
               "AppendOwnEntry changed section " + Show(s));
  }
}

void CheckDelete(int k) {
  const std::string path = OwnFilePath();
  std::string old;
  ReadWholeFile(path, old);
  const IniDocument was = Load(path);
  try {
    DeleteOwnEntry(k);
  } catch (const IniWriteError&) {
    std::string now;
    ReadWholeFile(path, now);
    FUZZ_CHECK(now == old, "a failed DeleteOwnEntry changed Own.ini");
    return;
  }
  std::string now;
  ReadWholeFile(path, now);
  const int c = was.ReadInteger("main", "count", 0);
  const std::string what = "DeleteOwnEntry(" + std::to_string(k) + ") of " + std::to_string(c);
  if (k < 1 || k > c) {
    FUZZ_CHECK(now == old, what + " changed Own.ini");
    return;
  }
  const IniDocument doc = Load(path);
  FUZZ_CHECK(doc.ReadInteger("main", "count", -12345) == c - 1, what + ": count");
  // Every entry section after k that is there moves down by one; numbers without a section
  // stay without one.
  for (long long j = std::max(1LL, k - 40LL); j <= std::min<long long>(c, k + 40LL); ++j) {
    const std::string s = std::to_string(j);
    const std::string next = std::to_string(j + 1);
    if (j < k) {
      FUZZ_CHECK(SameFields(ReadFields(doc, s, "\x01"), ReadFields(was, s, "\x01")),
                 what + " changed entry " + s);
    } else if (j < c && was.SectionExists(next)) {
      FUZZ_CHECK(SameFields(ReadFields(doc, s, "\x01"), ReadFields(was, next, "")),
                 what + ": entry " + next + " did not move to " + s);
    } else {
      FUZZ_CHECK(!doc.SectionExists(s), what + ": section " + s + " is still there");
    }
  }
  for (const std::string& s : was.SectionNames()) {
    if (s.rfind("old", 0) == 0 || s == "main") {
      FUZZ_CHECK(SameFields(ReadFields(doc, s, "\x01"), ReadFields(was, s, "\x01")) &&
                     (s != "main" || doc.ReadString(s, "old_count", "\x01") ==
                                         was.ReadString(s, "old_count", "\x01")),
                 what + " changed section " + Show(s));
    }
  }
}

void WriteOrRemove(const fs::path& file, bool present, const std::string& data) {
  std::error_code ec;
  if (!present) {
    fs::remove(file, ec);
    return;
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

}  // namespace

int FuzzCategory(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  Installation& inst = Inst();
  ResetSettings();
  AppDir = inst.AppDir();
  DbDir = "db";
  ImagesDir = "images";

  const uint8_t flags = in.Byte();
  CategoryCount = PickNumber(in);
  for (int i = 1; i <= MaxCategories; ++i) CategoryNames[static_cast<size_t>(i)] = PickName(in);
  for (int f = 0; f < 3; ++f) {
    const bool present = (flags >> f) & 1;
    WriteOrRemove(inst.File(Files[f]), present, present ? in.String(4096) : "");
  }
  const bool writers = (flags & 0x80) != 0;

  Output out;
  if (!out.Ok()) return 0;
  for (int call = 0; call < 24 && !in.Empty(); ++call) {
    const uint8_t op = in.Byte();
    switch (op % 9) {
      case 0: CheckCount(false, PickNumber(in), out); break;
      case 1: CheckCount(true, PickNumber(in), out); break;
      case 2: CheckList(false, PickNumber(in), out); break;
      case 3: CheckList(true, PickNumber(in), out); break;
      case 4: case 5: {
        const int i = PickNumber(in);
        CheckEntry(i, PickNumber(in), (op & 0x10) != 0, out);
        break;
      }
      case 6: CheckOwnIndex(); break;
      case 7: if (writers) CheckAppend(in); break;
      default: if (writers) CheckDelete(PickNumber(in)); break;
    }
  }
  FUZZ_CHECK(out.MissingReports() == 0, "a writer reported a missing file");
  ResetSettings();
  return 0;
}
