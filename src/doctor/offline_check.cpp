#include "doctor/offline_check.h"

#include "main_func/sha256.h"
#include "os/download_check.h"
#include "os/own_image.h"

namespace {

bool HasScheme(const std::string& link) {
  for (const char* scheme : {"http://", "https://", "ftp://"})
    if (link.rfind(scheme, 0) == 0 && link.size() > std::string(scheme).size()) return true;
  return false;
}

bool IsOneWord(const std::string& text) { return text.find_first_of(" \t\"") == std::string::npos; }

}  // namespace

std::string LinkFileName(const std::string& link) {
  std::string path = link.substr(0, link.find_first_of("?#"));
  return path.substr(path.find_last_of('/') + 1);
}

std::string OfflineProblem(const OsEntry& os, bool hddManager) {
  if (!hddManager && (os.name.empty() || os.name == "ERROR")) return "no name";
  if (os.download.empty() || os.download == "ERROR") return "no download link";
  if (!IsPassableLink(os.download) || !HasScheme(os.download))
    return "download is no plain http, https or ftp link";
  if (!IsPlainFileName(os.filename) || !IsOneWord(os.filename) || os.filename == "ERROR")
    return "filename is not a plain file name";
  if (os.filename == "hdb.img") return "filename is the virtual disk's";
  if (LinkFileName(os.download) != os.filename)
    return "filename is not the name the download link saves";
  if (os.ostype != "cdrom" && os.ostype != "hdd" && os.ostype != "fdd")
    return "ostype is not cdrom, hdd or fdd";
  if (!os.vga.empty() && os.vga != "cirrus" && os.vga != "std" && os.vga != "vmware")
    return "vga is not cirrus, std or vmware";
  if (!os.sha256.empty() && !IsSha256Text(os.sha256)) return "sha256 is not 64 hexadecimal digits";
  if (!os.checksums.empty() && (!IsPassableLink(os.checksums) || !HasScheme(os.checksums)))
    return "checksums is no plain http, https or ftp link";
  if (!os.firmware.empty() && os.firmware != "bios" && os.firmware != "uefi")
    return "firmware is not bios or uefi";
  return "";
}
