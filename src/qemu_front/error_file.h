// qemu\stderr.txt: what Quillhaven shows as "QEMU ERROR" after a launch.
#pragma once
#include <string>

// Removes the notices QEMU 7 writes on every start for a raw image named by -hda, -hdb or
// -fda without a format ("WARNING: Image format was not specified ... probing guessed
// raw." and its two indented lines). They are no errors, and Quillhaven's command lines
// cannot name a format, so each clean launch of a raw image would otherwise look failed.
std::string DropRawProbeWarnings(const std::string& text);
