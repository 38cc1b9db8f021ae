#include "main_func/command_words.h"

#include "main_func/text_helpers.h"

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\\') {
      size_t n = 0;
      while (i < line.size() && line[i] == '\\') ++n, ++i;
      if (i < line.size() && line[i] == '"') {
        word.append(n / 2, '\\');
        if (n % 2) word += '"';
        else quoted = !quoted;
      } else {
        word.append(n, '\\');
        --i;
      }
      inWord = true;
    } else if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::string QuoteWord(const std::string& word) {
  if (!word.empty() && IsOneWord(word)) return word;
  // Backslashes are doubled only where a quote follows them, the closing one included.
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

std::string ToolCommandLine(const std::string& dir, const std::string& relCommand) {
  const size_t end = relCommand.find(' ');
  const std::string program = dir + relCommand.substr(0, end);
  const std::string rest = end == std::string::npos ? "" : relCommand.substr(end);
  if (program.find(' ') == std::string::npos) return program + rest;
  return "\"" + program + "\"" + rest;
}

std::string JoinWords(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& w : words) {
    if (!line.empty()) line += ' ';
    line += QuoteWord(w);
  }
  return line;
}
