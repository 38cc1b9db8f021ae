// Which format a drive's image has, read from its first bytes by the front end itself, so
// that QEMU is always told the format and never guesses it. Only formats that keep all of
// a disk in the one file are let through: QEMU opens the other files a qcow2 backing file,
// an external data file or a VMDK descriptor names, wherever on the host they are.
#pragma once
#include <cstddef>
#include <string>

struct ImageCheck {
  bool ok = false;
  std::string format;  // when ok: QEMU's name of the format ("raw", "qcow2", "vmdk")
  std::string error;   // when not ok: the reason, for qemu\stderr.txt
};

// How much of a file JudgeImageHead looks at: a sparse VMDK keeps its descriptor text,
// which may name a parent disk, in the 20 sectors after its header.
inline constexpr std::size_t ImageHeadSize = 512 + 20 * 512;

// Judges an image by its first bytes (at most ImageHeadSize; fewer for a small file).
// name is the image's name as given, for the reason. Anything no other rule matches is raw:
// ISO images and whole disks are, and QEMU reads a raw image as plain bytes.
ImageCheck JudgeImageHead(const std::string& name, const std::string& head);

// Checks the image at path as QEMU would open it: a missing or unreadable file counts as
// raw (QEMU then says it cannot open it); anything but a regular file (a named pipe, a
// device, a folder) is refused without being opened, as a pipe would never answer.
ImageCheck CheckImageFile(const std::string& path);
