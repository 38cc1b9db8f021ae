#include "main_func/path_map_posix.h"

#include "main_func/command_words.h"
#include "main_func/text_helpers.h"

#include <algorithm>

namespace {

bool EndsWithExe(const std::string& path) {
  if (path.size() < 5) return false;  // a bare ".exe" is a name of its own
  return EndsWithNoCase(path, ".exe") && path[path.size() - 5] != '/';
}

bool HasExtension(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

}  // namespace

std::string MapSlashes(const std::string& path) {
  std::string out = path;
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::vector<std::string> ExeAliases(const std::string& mappedPath) {
  std::vector<std::string> names{mappedPath};
  if (EndsWithExe(mappedPath)) names.push_back(mappedPath.substr(0, mappedPath.size() - 4));
  return names;
}

std::vector<std::string> ProgramAliases(const std::string& mappedPath) {
  std::vector<std::string> names = ExeAliases(mappedPath);
  if (!mappedPath.empty() && mappedPath.back() != '/' && !HasExtension(mappedPath))
    names.push_back(mappedPath + ".exe");
  return names;
}

std::string ParentDir(const std::string& mappedPath) {
  std::string p = mappedPath;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  size_t slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return p.substr(0, slash);
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> words = SplitWords(commandLine);
  for (std::string& word : words) word = MapSlashes(word);
  return words;
}
