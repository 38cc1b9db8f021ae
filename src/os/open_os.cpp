#include "os/open_os.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "c_api/console.h"
#include "db/category.h"
#include "db/entry_values.h"
#include "db/layout.h"
#include "db/settings.h"
#include "main_func/choice.h"
#include "main_func/command_words.h"
#include "main_func/download_reason.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "main_func/text_helpers.h"
#include "os/launch.h"
#include "os/run_os.h"
#include "trust/digest.h"
#include "trust/download_check.h"

namespace {

// A server that answers a dead link with its error or download page makes wget save that
// page under the image's name; the fetched file is checked before it may take the image's
// place. A refused file is removed, so that the next attempt starts afresh.
bool AcceptFetched(const std::string& fetched, const ListedHash* expected,
                   DownloadHasher* hasher) {
  std::string head;
  if (ReadFileHead(fetched, WebPageHeadSize, head) && IsWebPageText(head)) {
    WriteLine(" * ERROR downloaded file is a web page, not an image");
    RemoveFile(fetched);
    return false;
  }
  if (expected && hasher && !FetchedHasHash(fetched, *expected, *hasher)) {
    WriteLine(" * ERROR image is damaged (" + DigestName(expected->kind) + " does not match)");
    RemoveFile(fetched);
    return false;
  }
  return true;
}

// The hash the image must have: a pinned sha256 wins over the publisher's list, which is
// fetched only when there is no pinned one. False (with the reason shown) when the entry
// names a list that cannot be used; *has tells whether there is anything to check.
bool ExpectedImageHash(const std::string& sha256, const std::string& checksums,
                       const std::string& filename, ListedHash& expected, bool& has) {
  has = false;
  if (!sha256.empty()) {
    expected = {DigestKind::Sha256, sha256};
    has = true;
    return true;
  }
  if (checksums.empty()) return true;
  has = FetchChecksumList(checksums, filename, expected);
  return has;
}

// A download that broke off leaves a partial file that looks like any other: only wget's
// exit code tells. The partial file stays in the download folder for the next attempt,
// which continues it when it asks for the same link. Writes the reason line on failure.
bool WgetSucceeded(int exitCode, const std::string& fetched, const std::string& filename) {
  if (exitCode != 0) {
    WriteLine(" * ERROR download failed: " + WgetFailureReason(exitCode));
    return false;
  }
  // Only a file counts as a fetched image: with an empty file name this path is the
  // download folder itself, which must never be moved.
  if (!FileExists(fetched)) {
    WriteLine(" * ERROR download failed: no file named " + filename + " arrived");
    return false;
  }
  return true;
}

// A partial download is continued only from the link it came from: the link is recorded in
// a file of the part's name in the folder "links" below the download folder. wget writes
// only straight into the download folder, so no download can write or replace a record.
std::string PartRecordPath(const std::string& folder, const std::string& filename) {
  return folder + "\\links\\" + filename;
}

// After a failed download that kept no part under the entry's own name: removes what the
// download left in the folder under other names (wget names the file after the link, or
// after the address a server sends it on to), which no later attempt would find or
// continue. A file that was there before it started stays, and so does one with a record
// in "links": another entry's part, perhaps of a download that another copy of this
// program runs.
void RemoveLeftUnderOtherNames(const std::string& folder, const std::vector<std::string>& before) {
  for (const std::string& name : FileNamesIn(folder)) {
    if (std::find(before.begin(), before.end(), name) != before.end()) continue;
    // A POSIX name with a backslash would be read as a path below the folder: never named.
    if (name.find('\\') != std::string::npos) continue;
    if (FileExists(PartRecordPath(folder, name))) continue;
    RemoveFileAnyway(folder + "\\" + name);
  }
}

enum class PartState { None, Continued, Stuck };

// Keeps the part that the record says came from link, for "-c"; removes any other part (of
// unknown origin or of another link), so that the download starts over. Stuck when such a
// part cannot be removed: wget would then save beside it and the old part pass for the image.
PartState PreparePart(const std::string& part, const std::string& record,
                      const std::string& link) {
  if (!FileExists(part)) return PartState::None;
  std::string recorded;
  if (ReadWholeFile(record, recorded) && recorded == link) return PartState::Continued;
  return RemoveFileAnyway(part) || !FileExists(part) ? PartState::None : PartState::Stuck;
}

// Judges what wget left and moves an accepted image into place.
DownloadResult PlaceFetched(int code, const std::string& fetched, const std::string& filename,
                            const ListedHash* expected, DownloadHasher* hasher) {
  if (!WgetSucceeded(code, fetched, filename)) return DownloadResult::Failed;
  if (!AcceptFetched(fetched, expected, hasher)) return DownloadResult::Refused;
  if (!MoveFileNoReplace(fetched, ImagePath(filename)))
    return DownloadResult::Failed;
  if (expected) WriteLine(" Image verified (" + DigestName(expected->kind) + ")");
  return DownloadResult::Placed;
}

// The reason line for the first value of the entry that may not reach wget or the images
// folder, "" when all may.
std::string DownloadRefusal(const std::string& download, const std::string& filename,
                            const std::string& checksums) {
  std::string line = RefusalOf(EntryValue::Download, download);
  if (line.empty()) line = RefusalOf(EntryValue::FileName, filename);
  if (line.empty() && !checksums.empty()) line = RefusalOf(EntryValue::Checksums, checksums);
  return line;
}

}  // namespace

std::string WgetCommandLine(const std::string& appDir, const std::string& imagesDir,
                            const std::string& download, bool continuePart) {
  // "-c" continues a download that an earlier, stopped attempt at the same link left in the
  // folder.
  return ToolCommandLine(appDir, std::string(WgetProgram) + (continuePart ? " -c -P " : " -P ")) +
         ImagesTempArgument(imagesDir) + " " + download;
}

void OpenOs(int category, int entry, bool old) {
  ClearScreen();
  OsEntry os;
  ReadOsEntry(category, entry, old, os);
  // Checked before the name is looked up: it could name a host file or a device.
  if (const std::string refusal = RefusalOf(EntryValue::FileName, os.filename);
      !refusal.empty()) {
    ShowOsBox(os.name, os.version);
    ShowLaunchRefused(refusal);
    return;
  }
  if (FileExists(ImagePath(os.filename))) {
    RunOs(os.name, os.version, os.filename, os.ostype, os.vga, os.firmware);
    return;
  }
  ShowOsBox(os.name, os.version);
  WriteLine(" You don`t have " + os.name + " " + os.version);
  WriteLine(" What do you want to do?");
  WriteLine();
  WriteLine("    1) Download and run");
  WriteLine("    0) Exit");
  WriteLine();
  if (ReadChoice(1) != 1) return;
  if (DownloadImage(os.name, os.version, os.download, os.filename, os.sha256, os.checksums)) {
    RunOs(os.name, os.version, os.filename, os.ostype, os.vga, os.firmware);
    return;
  }
  WriteLine();
  WriteLine(" Error in downloading image");
  WriteText(" Press <Enter> to continue");
  WaitForEnter();
}

DownloadResult FetchImage(const std::string& name, const std::string& version,
                          const std::string& download, const std::string& filename,
                          const std::string& sha256, const std::string& checksums) {
  ClearScreen();
  ShowOsBox(name, version);
  WriteLine(" Do not close this window!");
  WriteLine(" Press CTRL + C to stop downloading image");
  WriteLine();
  WriteLine(" Downloading " + name + " " + version);
  WriteLine();
  if (IsMissingLink(download)) {
    WriteLine(" * ERROR missing download link ");
    WriteLine();
    WriteLine(" Press < ENTER >");
    WaitForEnter();
    return DownloadResult::Failed;
  }
  // Every value is checked before a command line is built or the download folder made.
  if (const std::string refusal = DownloadRefusal(download, filename, checksums);
      !refusal.empty()) {
    WriteLine(refusal);
    return DownloadResult::Refused;
  }
  const std::string folder = ImagesTempFolder();
  if (!DirExists(folder)) MakeDir(folder);
  ListedHash expected;
  bool check = false;
  if (!ExpectedImageHash(sha256, checksums, filename, expected, check))
    return DownloadResult::Refused;
  const std::string fetched = folder + "\\" + filename;
  const std::string record = PartRecordPath(folder, filename);
  const PartState part = PreparePart(fetched, record, download);
  if (part == PartState::Stuck) {
    WriteLine(" * ERROR download failed: the partial file " + NativePath(fetched) +
              " is not from this link and cannot be removed");
    return DownloadResult::Failed;
  }
  if (part == PartState::None) {
    if (!DirExists(folder + "\\links")) MakeDir(folder + "\\links");
    WriteFileAtomic(record, download);  // without it the part is only started over later
  }
  std::unique_ptr<DownloadHasher> hasher;
  if (check) {
    hasher = std::make_unique<DownloadHasher>(fetched, expected.kind);
    hasher->Start();
  }
  const std::vector<std::string> before = FileNamesIn(folder);
  const int code = RunAndWait(
      WgetCommandLine(AppDir, ImagesDir, download, part == PartState::Continued), ShowNormal);
  const DownloadResult result = PlaceFetched(code, fetched, filename, check ? &expected : nullptr,
                                             hasher.get());
  if (result == DownloadResult::Failed && !FileExists(fetched))
    RemoveLeftUnderOtherNames(folder, before);
  // The record lives as long as its part; the folder of records only while it holds one.
  if (!FileExists(fetched)) {
    RemoveFile(record);
    RemoveEmptyDir(folder + "\\links");
  }
  return result;
}

bool DownloadImage(const std::string& name, const std::string& version,
                   const std::string& download, const std::string& filename,
                   const std::string& sha256, const std::string& checksums) {
  return FetchImage(name, version, download, filename, sha256, checksums) ==
         DownloadResult::Placed;
}
