#include "hdd/hdd_setup.h"

#include <cstdint>
#include <string>

#include "c_api/console.h"
#include "c_api/screen.h"
#include "db/entry_values.h"
#include "db/ini_file.h"
#include "db/layout.h"
#include "db/settings.h"
#include "hdd/disk_size.h"
#include "main_func/choice.h"
#include "main_func/command_words.h"
#include "main_func/download_reason.h"
#include "main_func/file_ops.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "os/open_os.h"
#include "os/run_os.h"

namespace {

// Asks for the size until one is acceptable. The end of input cancels like "0": asking
// again could never get an answer. A size refused for a reason says so above the prompt.
std::string ReadHddSize(std::uint64_t& bytes) {
  std::string size;
  std::string reason;
  for (;;) {
    ShowHeader("VIRTUAL HDD");
    WriteLine();
    WriteLine(" Enter the size of the new HDD:");
    WriteLine(" Examples: 100M, 1G, 5G, ...");
    WriteLine();
    if (!reason.empty()) WriteLine(" " + reason);
    WriteText(" > ");
    if (!ReadLine(size)) return "0";
    reason.clear();
    switch (JudgeDiskSize(size, bytes, reason)) {
      case SizeAnswer::Accepted: return size;
      case SizeAnswer::Cancel: return "0";
      case SizeAnswer::AskAgain:
      case SizeAnswer::Refused: break;
    }
  }
}

// The old disk is set aside rather than deleted, so that a size qemu-img refuses does not
// cost the user the disk: it is deleted once the new one exists. Its name is one that
// exists nowhere yet, so no file the user keeps beside the disk is replaced.
std::string SetAsidePath;

bool MoveAsideUnderFreeName() {
  for (int n = 0; n < 1000; ++n) {
    const std::string name = DiskPath() + ".old" + (n == 0 ? "" : std::to_string(n));
    if (FileExists(name) || DirExists(name)) continue;
    if (Files().MoveFileNoReplace(DiskPath(), name)) {
      SetAsidePath = name;
      return true;
    }
    if (!FileExists(DiskPath())) return false;
  }
  return false;
}

// True when the old disk is out of the way, set aside here or deleted by the user when asked to.
bool SetAsideOldHdd() {
  ShowHeader("VIRTUAL HDD");
  WriteLine();
  WriteLine(" Deleting old HDD, please wait.");
  WriteLine(" DO NOT CLOSE THIS WINDOW!");
  WriteLine();
  if (MoveAsideUnderFreeName()) return true;
  WriteLine(" ERROR - cannot delete file.");
  WriteText("         Delete file " + NativePath(DiskPath()) + " manually and press <Enter> ");
  WaitForEnter();
  return !FileExists(DiskPath());
}

// After a failed creation: puts the old disk back in place when one was set aside.
void RestoreOldHdd() {
  if (SetAsidePath.empty() || !FileExists(SetAsidePath)) return;
  Files().RemoveFile(DiskPath());
  if (Files().MoveFileReplace(SetAsidePath, DiskPath()))
    WriteLine(" The old HDD was kept.");
  else  // still whole beside the images; the user must know where, or it looks lost
    WriteLine(" The old HDD could not be put back; it is kept as " + NativePath(SetAsidePath) + ".");
  SetAsidePath.clear();
}

// A file size for the user: whole units of 1024.
std::string SizeText(uint64_t bytes) {
  static const char* const units[] = {"bytes", "KB", "MB", "GB", "TB"};
  int u = 0;
  while (u < 4 && bytes >= 1024 * 10) {
    bytes /= 1024;
    ++u;
  }
  return std::to_string(bytes) + " " + units[u];
}

// Replacing the disk loses everything on it: the user says so once, before anything else.
bool ConfirmReplaceHdd() {
  ShowHeader("VIRTUAL HDD");
  WriteLine();
  // What the guest sees tells one disk from another; the host size alone does not.
  std::uint64_t virtualBytes = 0;
  const std::string hostSize = SizeText(FileSize64(DiskPath()));
  const std::string sizes = ReadVirtualSize(DiskPath(), virtualBytes)
                                ? WholeSizeText(virtualBytes) + ", " + hostSize + " used"
                                : hostSize;
  WriteLine(" A virtual HDD already exists (" + NativePath(DiskPath()) + ", " + sizes + ").");
  WriteLine(" Do you want to replace it and everything on it?");
  WriteLine();
  WriteLine("     1) Yes");
  WriteLine("     2) No");
  WriteLine();
  return ReadChoice(2) == 1;
}

void ReportNotCreated() {
  WriteLine(" *ERROR* - HDD was NOT created!");
  RestoreOldHdd();
  WriteLine(" Press <Enter> to continue");
  WaitForEnter();
}

}  // namespace

std::string QemuImgCommandLine(const std::string& appDir, const std::string& imagesDir,
                               const std::string& size) {
  return ToolCommandLine(appDir, std::string(QemuImgProgram) + " create -f vmdk ") +
         ImageArgument(imagesDir, DiskName) + " " + size;
}

void RunPartitionManager() {
  const std::string dbIni = CatalogueFile();
  if (!FileExists(dbIni)) {
    WriteText(" * ERROR File " + NativePath(dbIni) + " not exists!");
    WaitForEnter();
    return;
  }
  const IniFile ini(dbIni);
  const std::string download = ini.ReadString("hddmanager", "download", "ERROR");
  const std::string filename = ini.ReadString("hddmanager", "filename", "ERROR");
  // A name that is no plain image name is not looked up: the download refuses it.
  if (IsPlainFileName(filename) && FileExists(ImagePath(filename))) {
    RunOs("Partition manager", "", filename, "cdrom", "vmware");
    return;
  }
  const std::string sha256 = ini.ReadString("hddmanager", "sha256", "");
  const std::string checksums = ini.ReadString("hddmanager", "checksums", "");
  switch (FetchImage("Partition manager", "", download, filename, sha256, checksums)) {
    case DownloadResult::Placed:
      RunOs("Partition manager", "", filename, "cdrom", "vmware");
      break;
    case DownloadResult::Failed:
      if (download.empty() || download == "ERROR") break;  // that message had its pause
      [[fallthrough]];
    case DownloadResult::Refused:
      // The HDD SETUP menu clears the screen at once: the reason must stay readable.
      WriteText(" Press <Enter> to continue");
      WaitForEnter();
      break;
  }
}

bool CreateHdd() {
  SetAsidePath.clear();
  if (FileExists(DiskPath()) && !ConfirmReplaceHdd()) return false;
  std::uint64_t bytes = 0;
  const std::string size = ReadHddSize(bytes);
  if (size == "0") return false;
  // An old disk that is still there would pass the checks below as the new one, although
  // qemu-img could not replace it either.
  if (FileExists(DiskPath()) && !SetAsideOldHdd()) {
    WriteLine();
    ReportNotCreated();
    return false;
  }

  ShowHeader("VIRTUAL HDD");
  WriteLine();
  WriteLine(" Creating new HDD, please wait.");
  WriteLine(" DO NOT CLOSE THIS WINDOW!");
  WriteLine();
  WriteLine(" Creating " + size + " HDD");
  WriteText(" ");
  const int code = RunAndWait(QemuImgCommandLine(AppDir, ImagesDir, size), ShowNormal);
  WriteLine();

  if (!FileExists(DiskPath())) {
    if (code == -1) WriteLine(" * ERROR " + NotStartedReason("qemu-img"));
    ReportNotCreated();
    return false;
  }
  if (FileSize64(DiskPath()) == 0) {
    WriteLine(" Unknown ERROR");
    RemoveFile(DiskPath());
    RestoreOldHdd();
    WriteLine(" Press <Enter> to continue");
    WaitForEnter();
    return false;
  }
  // The disk must hold what was asked for (qemu-img rounds up to whole sectors): a disk of
  // another size is no success, and the old one comes back.
  std::uint64_t made = 0;
  if (!ReadVirtualSize(DiskPath(), made) || made != (bytes + 511) / 512 * 512) {
    WriteLine(" The new HDD does not hold the size asked for.");
    RemoveFileAnyway(DiskPath());
    ReportNotCreated();
    return false;
  }
  if (!SetAsidePath.empty()) Files().RemoveFileAnyway(SetAsidePath);
  SetAsidePath.clear();
  WriteLine(" HDD was created succefully!");
  WriteLine(" Press <enter> to continue");
  WaitForEnter();

  ShowHeader("VIRTUAL HDD");
  WriteLine();
  WriteLine(" Your HDD was created succesfully");
  WriteLine(" Do you want to create partitions on it and/or format it?");
  WriteLine();
  WriteLine("     1) Yes");
  WriteLine("     2) No");
  WriteLine();
  if (ReadChoice(2) != 1) return false;
  RunPartitionManager();
  // The disk exists whatever the partition manager did with it, so a caller that wanted a
  // disk to boot may go on.
  return true;
}

void DeleteHdd() {
  ClearScreen();
  ShowHeader("HDD");
  WriteLine();
  if (!FileExists(DiskPath())) {
    WriteLine(" Virtual HDD not exists");
    WriteLine(" Press <enter> to continue");
    WaitForEnter();
    return;
  }
  WriteLine(" Do you want to delete virtual HDD?");
  WriteLine();
  WriteLine("     1) Yes");
  WriteLine("     2) No");
  WriteLine();
  if (ReadChoice(2) != 1) return;
  ClearScreen();
  ShowHeader("HDD SETUP");
  WriteLine();
  // The user asked for it: a read-only disk goes as well, as it does on Linux.
  if (RemoveFileAnyway(DiskPath())) {
    WriteLine(" Virtual HDD was deleted");
  } else {
    WriteLine(" Unknown ERROR");
    WriteLine(" " + NativePath(DiskPath()) + " could not be deleted: it is still there.");
  }
  WriteLine(" Press <enter> to continue");
  WaitForEnter();
}
