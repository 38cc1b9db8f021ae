#include "qemu_front/image_format.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "main_func/files.h"
#include "main_func/text_helpers.h"

namespace {

bool StartsWith(const std::string& text, std::size_t at, const std::string& prefix) {
  return text.size() >= at + prefix.size() && text.compare(at, prefix.size(), prefix) == 0;
}

uint64_t BigEndian(const std::string& s, std::size_t at, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

uint64_t LittleEndian(const std::string& s, std::size_t at, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

ImageCheck Accept(const char* format) {
  ImageCheck c;
  c.ok = true;
  c.format = format;
  return c;
}

ImageCheck Refuse(const std::string& name, const std::string& what) {
  ImageCheck c;
  c.error = "qemu: " + name + " is refused: " + what;
  return c;
}

// Formats QEMU knows that are not started here: some name other files (QED's backing file,
// VHDX's parent), the others are not worth the risk of a reader nobody here checks.
struct Foreign {
  std::size_t at;
  std::string magic;
  const char* name;
};

const std::array<Foreign, 10>& ForeignFormats() {
  static const std::array<Foreign, 10> formats = {{
      {64, std::string("\x7f\x10\xda\xbe", 4), "VDI"},
      {0, "conectix", "VHD"},
      {0, "vhdxfile", "VHDX"},
      {0, std::string("QED\0", 4), "QED"},
      {0, "LUKS\xba\xbe", "LUKS"},
      {0, "WithoutFreeSpace", "Parallels"},
      {0, "WithouFreSpacExt", "Parallels"},
      {0, "Bochs Virtual HD Image", "Bochs"},
      {0, "#!/bin/sh\n#V2.0 Format\n", "cloop"},
      {0, "COWD", "VMDK3 (COWD)"},
  }};
  return formats;
}

// QEMU takes a text file for a VMDK descriptor when, after comment and blank lines, a line
// starts with "version=".
bool IsVmdkDescriptor(const std::string& head) {
  if (StartsWith(head, 0, "# Disk DescriptorFile")) return true;
  std::size_t p = 0;
  while (p < head.size()) {
    std::size_t end = head.find('\n', p);
    if (end == std::string::npos) end = head.size();
    std::string line = head.substr(p, end - p);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(' ') == std::string::npos || line[0] == '#') {
      p = end + 1;
      continue;
    }
    return StartsWith(line, 0, "version=");
  }
  return false;
}

ImageCheck JudgeQcow(const std::string& name, const std::string& head) {
  if (head.size() < 72) return Refuse(name, "a qcow2 header cut short");
  const uint64_t version = BigEndian(head, 4, 4);
  if (version == 1) return Refuse(name, "a qcow image (version 1), which may name a backing file");
  if (version != 2 && version != 3)
    return Refuse(name, "a qcow2 image of version " + std::to_string(version) + ", unknown here");
  if (BigEndian(head, 8, 8) != 0) return Refuse(name, "a qcow2 image with a backing file");
  if (version == 3) {
    if (head.size() < 80) return Refuse(name, "a qcow2 header cut short");
    const uint64_t incompatible = BigEndian(head, 72, 8);
    constexpr uint64_t ExternalData = 1u << 2;
    // Dirty, corrupt, compression type and extended L2 entries keep the data in the file.
    constexpr uint64_t Known = (1u << 0) | (1u << 1) | ExternalData | (1u << 3) | (1u << 4);
    if (incompatible & ExternalData) return Refuse(name, "a qcow2 image with an external data file");
    if (incompatible & ~Known) return Refuse(name, "a qcow2 image with features unknown here");
  }
  return Accept("qcow2");
}

// A sparse VMDK (the kind qemu-img makes) holds its data; QEMU reads a parent disk's name
// from the descriptor in the sectors after the header, and one whose capacity is 0 is read
// as a descriptor that names its extents.
ImageCheck JudgeSparseVmdk(const std::string& name, const std::string& head) {
  if (head.size() < 20) return Refuse(name, "a VMDK header cut short");
  if (LittleEndian(head, 12, 8) == 0)
    return Refuse(name, "a VMDK image without a capacity, read as a list of other files");
  const std::string key = "parentFileNameHint";
  for (std::size_t at = head.find(key, 512); at != std::string::npos; at = head.find(key, at + 1)) {
    if (!StartsWith(head, at + key.size(), "=\"\"")) return Refuse(name, "a VMDK image with a parent disk");
  }
  return Accept("vmdk");
}


}  // namespace

ImageCheck JudgeImageHead(const std::string& name, const std::string& head) {
  if (StartsWith(head, 0, "QFI\xfb")) return JudgeQcow(name, head);
  if (StartsWith(head, 0, "KDMV")) return JudgeSparseVmdk(name, head);
  if (IsVmdkDescriptor(head)) return Refuse(name, "a VMDK descriptor, which names other files");
  for (const Foreign& f : ForeignFormats()) {
    if (StartsWith(head, f.at, f.magic))
      return Refuse(name, std::string("a ") + f.name + " image, a format not started here");
  }
  // QEMU knows a DMG image by its name.
  if (EndsWithNoCase(name, ".dmg")) return Refuse(name, "a DMG image, a format not started here");
  return Accept("raw");
}

ImageCheck CheckImageFile(const std::string& path) {
  std::error_code ec;
  const auto type = std::filesystem::status(NativePath(path), ec).type();
  // QEMU says itself why it cannot open a file that is not there or not for this user.
  if (type == std::filesystem::file_type::not_found || type == std::filesystem::file_type::none)
    return Accept("raw");
  if (type != std::filesystem::file_type::regular) return Refuse(path, "not a regular file");
  std::string head;
  if (!ReadFileHead(path, ImageHeadSize, head)) return Accept("raw");
  return JudgeImageHead(path, head);
}
