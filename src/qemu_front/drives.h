// The drives of a launch: Quillhaven's -hda, -hdb, -cdrom and -fda become -drive options
// that name each image's format, checked beforehand (see image_format.h).
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "qemu_front/image_format.h"

// How the translation learns an image's format: CheckImageFile in the program, a table in
// tests.
using ImageChecker = std::function<ImageCheck(const std::string& path)>;

// Whether option is one of the four drive options.
bool IsDriveOption(const std::string& option);

// The -drive words for one drive option and its image, or the reason it is refused (the
// image's check, or a name QEMU would read as a protocol such as "nbd:" or "json:").
// ok is false on a refusal; words are then empty.
struct DriveWords {
  bool ok = false;
  std::vector<std::string> words;
  std::string error;
};
DriveWords DriveArgs(const std::string& option, const std::string& path, const ImageChecker& check);
