// IniFile: the one INI-file access of both programs. Every call goes to the file at once;
// writes replace the whole file atomically.
#pragma once
#include <stdexcept>
#include <string>

class IniWriteError : public std::runtime_error {
 public:
  explicit IniWriteError(const std::string& path);  // "Unable to write to <path>"
  std::string path;
};

class IniFile {
 public:
  explicit IniFile(std::string path);
  const std::string& Path() const { return path_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Throw IniWriteError when the file cannot be written; the file is then unchanged.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void EraseSection(const std::string& section);

 private:
  std::string path_;
};
