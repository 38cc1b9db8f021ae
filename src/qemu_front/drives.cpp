#include "qemu_front/drives.h"

namespace {

// Where each old option put its drive, as QEMU's own shorthands do.
struct DriveSlot {
  const char* option;
  const char* place;
};
constexpr DriveSlot Slots[] = {
    {"-hda", "index=0,media=disk"},
    {"-hdb", "index=1,media=disk"},
    {"-cdrom", "index=2,media=cdrom"},
    {"-fda", "if=floppy,index=0"},
};

// QEMU reads a file name whose first ':' comes before any separator as "protocol:rest"
// (nbd:, json:, http: ...). A Windows drive letter ("C:\", "C:/") is a path.
bool NamesProtocol(const std::string& path) {
  const std::size_t colon = path.find(':');
  if (colon == std::string::npos || path.find_first_of("/\\") < colon) return false;
  const char letter = static_cast<char>(path[0] | 0x20);  // lower case
  const bool driveLetter = colon == 1 && letter >= 'a' && letter <= 'z' &&
                           (path.size() == 2 || path[2] == '\\' || path[2] == '/');
  return !driveLetter;
}

// A comma in a -drive value is written twice.
std::string Escaped(const std::string& value) {
  std::string out;
  for (char c : value) {
    out += c;
    if (c == ',') out += ',';
  }
  return out;
}

}  // namespace

bool IsDriveOption(const std::string& option) {
  for (const DriveSlot& s : Slots) {
    if (option == s.option) return true;
  }
  return false;
}

DriveWords DriveArgs(const std::string& option, const std::string& path, const ImageChecker& check) {
  DriveWords d;
  const char* place = nullptr;
  for (const DriveSlot& s : Slots) {
    if (option == s.option) place = s.place;
  }
  if (!place) {
    d.error = "qemu: unknown option " + option;
    return d;
  }
  if (NamesProtocol(path)) {
    d.error = "qemu: " + path + " is refused: a protocol name, not an image file";
    return d;
  }
  const ImageCheck image = check(path);
  if (!image.ok) {
    d.error = image.error;
    return d;
  }
  d.ok = true;
  d.words = {"-drive", "file=" + Escaped(path) + ",format=" + image.format + "," + place};
  return d;
}
