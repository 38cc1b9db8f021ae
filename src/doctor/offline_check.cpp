#include "doctor/offline_check.h"

#include "db/entry_values.h"
#include "db/layout.h"
#include "trust/digest.h"

std::string LinkFileName(const std::string& link) {
  std::string path = link.substr(0, link.find_first_of("?#"));
  return path.substr(path.find_last_of('/') + 1);
}

std::string OfflineProblem(const OsEntry& os, bool hddManager) {
  if (!hddManager && (os.name.empty() || os.name == "ERROR")) return "no name";
  if (IsMissingLink(os.download)) return "no download link";
  // The program's own check, in its own words ("bad file name: ...").
  if (std::string bad = BadValueText(EntryValue::Download, os.download); !bad.empty()) return bad;
  if (std::string bad = BadValueText(EntryValue::FileName, os.filename); !bad.empty()) return bad;
  if (os.filename == "ERROR") return "no filename";
  if (os.filename == DiskName) return "filename is the virtual disk's";
  if (LinkFileName(os.download) != os.filename)
    return "filename is not the name the download link saves";
  if (os.ostype != "cdrom" && os.ostype != "hdd" && os.ostype != "fdd")
    return "ostype is not cdrom, hdd or fdd";
  if (!os.vga.empty() && os.vga != "cirrus" && os.vga != "std" && os.vga != "vmware")
    return "vga is not cirrus, std or vmware";
  if (!os.sha256.empty() && !IsHashText(DigestKind::Sha256, os.sha256)) return "sha256 is not 64 hexadecimal digits";
  if (!os.firmware.empty() && os.firmware != "bios" && os.firmware != "uefi")
    return "firmware is not bios or uefi";
  if (os.checksums.empty()) return "";
  return BadValueText(EntryValue::Checksums, os.checksums);
}
