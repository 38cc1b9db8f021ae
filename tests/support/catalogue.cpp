#include "support/catalogue.h"

std::string IniText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string DbIni(const std::string& version, const std::vector<std::string>& categories) {
  std::vector<std::string> lines = {"[version]", "version=" + version, "aver=1", "",
                                    "[categories]",
                                    "count=" + std::to_string(categories.size())};
  for (size_t i = 0; i < categories.size(); ++i) {
    lines.push_back(std::to_string(i + 1) + "=" + categories[i]);
  }
  return IniText(lines);
}

OsEntry SampleOs(const std::string& name, const std::string& version) {
  std::string file;
  for (char c : name + "-" + version) file += (c == ' ') ? '_' : c;
  return {name, version, "http://127.0.0.1:1/images/" + file + ".iso", file + ".iso", "cdrom",
          "std"};
}

std::vector<OsEntry> SampleList(const std::string& prefix, int count) {
  std::vector<OsEntry> entries;
  for (int i = 1; i <= count; ++i) {
    entries.push_back(SampleOs(prefix + " " + std::to_string(i), "v" + std::to_string(i)));
  }
  return entries;
}

namespace {

void AddSection(std::vector<std::string>& lines, const std::string& section, const OsEntry& os) {
  lines.push_back("");
  lines.push_back("[" + section + "]");
  lines.push_back("name=" + os.name);
  lines.push_back("version=" + os.version);
  lines.push_back("download=" + os.download);
  lines.push_back("filename=" + os.filename);
  lines.push_back("ostype=" + os.ostype);
  lines.push_back("vga=" + os.vga);
  if (!os.sha256.empty()) lines.push_back("sha256=" + os.sha256);
  if (!os.checksums.empty()) lines.push_back("checksums=" + os.checksums);
  if (!os.firmware.empty()) lines.push_back("firmware=" + os.firmware);
}

}  // namespace

std::string CategoryIni(const std::vector<OsEntry>& current,
                        const std::optional<std::vector<OsEntry>>& old) {
  std::vector<std::string> lines = {"[main]", "count=" + std::to_string(current.size())};
  if (old) lines.push_back("old_count=" + std::to_string(old->size()));
  for (size_t i = 0; i < current.size(); ++i) AddSection(lines, std::to_string(i + 1), current[i]);
  if (old) {
    for (size_t i = 0; i < old->size(); ++i) {
      AddSection(lines, "old" + std::to_string(i + 1), (*old)[i]);
    }
  }
  return IniText(lines);
}

std::vector<std::string> DisplayNames(const std::vector<OsEntry>& entries) {
  std::vector<std::string> names;
  for (const OsEntry& os : entries) names.push_back(os.name + " " + os.version);
  return names;
}
