// IniDocument: one INI file held in memory, with the reading and writing rules of IniFile.
// Several changes can be made to one copy and saved together in one atomic write, so an
// operation that touches many keys leaves either the old file or the new one.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class IniDocument {
 public:
  // A missing file loads as empty. Returns false when a file exists but cannot be read;
  // the document is then empty and refuses to be saved, so that the file is not replaced
  // by what little we know of it.
  bool Load(const std::string& path);
  void Parse(const std::string& data);
  std::string Text() const;
  // Throws IniWriteError when the file cannot be written; the file is then unchanged.
  void Save(const std::string& path) const;

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
  bool SectionExists(const std::string& section) const;
  // Names of all sections in file order (duplicates included).
  std::vector<std::string> SectionNames() const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  // Returns false when there was no such section (nothing changed).
  bool EraseSection(const std::string& section);

  // For changes to many sections of a large file, each in one pass over it:
  // erases every section with one of the names (duplicates included), and
  // appends a section with its keys at the end (the section must not be there yet).
  void EraseSections(const std::vector<std::string>& sections);
  void AppendSection(const std::string& section,
                     const std::vector<std::pair<std::string, std::string>>& keys);

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n", or "" for a last line without one
  };
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  std::size_t FindSection(const std::string& section) const;
  std::size_t SectionEnd(std::size_t header) const;
  std::size_t FindKey(std::size_t header, const std::string& key) const;
  void InsertLine(std::size_t at, const std::string& text);

  void Changed() { indexed_ = false; }

  std::vector<Line> lines_;
  // The first header line of each section name (lower case), built on the first lookup
  // after a change: reads from a file of thousands of sections stay cheap.
  mutable std::unordered_map<std::string, std::size_t> index_;
  mutable bool indexed_ = false;
  bool bom_ = false;
  std::string newLine_ = "\r\n";
  bool unreadable_ = false;
};

// Parses an INI integer: "0x"/"0X" or "$" for hexadecimal, decimal otherwise, an optional
// sign first. False for anything else, including the empty text and values outside int.
bool ParseIniInteger(const std::string& text, int& value);
