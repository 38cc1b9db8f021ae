#include "db/entry_values.h"

#include "main_func/text_helpers.h"

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

bool HasControl(const std::string& text) {
  for (char c : text)
    if (IsControl(c)) return true;
  return false;
}

// The scheme's length when the link begins with one wget may be given, else 0.
std::size_t SchemeLength(const std::string& link) {
  const std::string head = Upper(link.substr(0, 8));
  for (const char* scheme : {"HTTP://", "HTTPS://", "FTP://"}) {
    const std::string s = scheme;
    if (head.compare(0, s.size(), s) == 0) return s.size();
  }
  return 0;
}

std::string LinkProblem(const std::string& link) {
  const std::size_t scheme = SchemeLength(link);
  if (scheme == 0) return "it does not begin with http://, https:// or ftp://";
  if (link.size() == scheme) return "no address follows " + link;
  if (!IsOneWord(link) || HasControl(link))
    return "a blank, tab, double quote or control character cannot be passed to wget";
  return "";
}

// Windows opens these devices whatever folder or extension goes with them.
bool IsDeviceName(const std::string& stem) {
  const std::string s = Upper(stem);
  if (s == "CON" || s == "PRN" || s == "AUX" || s == "NUL" || s == "CONIN$" || s == "CONOUT$")
    return true;
  return s.size() == 4 && (s.compare(0, 3, "COM") == 0 || s.compare(0, 3, "LPT") == 0) &&
         s[3] >= '0' && s[3] <= '9';
}

std::string FileNameProblem(const std::string& name) {
  if (name.empty()) return "the entry names no image file";
  if (name.find_first_of(" \t") != std::string::npos || HasControl(name))
    return "a blank, tab or control character cannot be part of an image's name";
  if (name.find_first_of("\\/:*?\"<>|") != std::string::npos)
    return "none of \\ / : * ? \" < > | can be part of an image's name";
  if (name == "." || name == "..") return "it names a folder, not a file";
  if (name.back() == '.') return "an image's name cannot end in a dot";
  const std::string stem = name.substr(0, name.find('.'));
  if (IsDeviceName(stem)) return stem + " is a device of Windows, not a file";
  return "";
}

}  // namespace

std::string ValueProblem(EntryValue which, const std::string& value) {
  return which == EntryValue::FileName ? FileNameProblem(value) : LinkProblem(value);
}

std::string BadValueText(EntryValue which, const std::string& value) {
  const std::string problem = ValueProblem(which, value);
  if (problem.empty()) return "";
  const char* what = which == EntryValue::Download    ? "download link"
                     : which == EntryValue::Checksums ? "checksum list link"
                                                      : "file name";
  return std::string("bad ") + what + ": " + problem;
}

std::string RefusalOf(EntryValue which, const std::string& value) {
  const std::string text = BadValueText(which, value);
  return text.empty() ? "" : " * ERROR " + text;
}

bool IsMissingLink(const std::string& link) { return link.empty() || link == "ERROR"; }

bool IsPlainFileName(const std::string& name) { return FileNameProblem(name).empty(); }
