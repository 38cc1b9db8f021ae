#include "trust/download_check.h"

#include <string>

#include "db/layout.h"
#include "db/settings.h"
#include "main_func/command_words.h"
#include "main_func/download_reason.h"
#include "main_func/files.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "main_func/text_helpers.h"

namespace {

// Why a fetched list gave no hash for the file, in the order the causes are met.
std::string ChecksumListFailure(int wgetCode, bool tooLarge, bool read, bool twoValues,
                                const std::string& filename) {
  if (tooLarge) return "the checksum list is too large";
  if (wgetCode != 0)
    return "checksum list not available (" + WgetFailureReason(wgetCode) + ")";
  if (!read) return "checksum list not available";
  if (twoValues) return "the checksum list holds two different values for " + filename;
  return "the checksum list has no SHA-256 or SHA-512 line for " + filename;
}

}  // namespace

std::string ChecksumListCommandLine(const std::string& appDir, const std::string& imagesDir,
                                    const std::string& filename, const std::string& link) {
  // A name of its own beside the image's partial file, so that no earlier list and no
  // image of the list's name is ever read or replaced; bounded, since it comes before the
  // large download and a silent server must not hold the user for long.
  return ToolCommandLine(appDir, std::string(WgetProgram) + " -q --tries=3 --timeout=30 -O ") +
         ImagesTempArgument(imagesDir) + filename + ".checksums " + link;
}

bool FetchChecksumList(const std::string& link, const std::string& filename,
                       ListedHash& expected) {
  const std::string listPath = ImagesTempFolder() + "\\" + filename + ".checksums";
  RemoveFile(listPath);
  // Up to three tries of 30 s before the download itself: the wait is named on screen.
  // Bounded while it arrives, in size and in time: a list without end is not a list.
  WriteLine(" Fetching checksum list ...");
  const int code = RunBoundedFetch(
      ChecksumListCommandLine(AppDir, ImagesDir, filename, link), listPath, MaxChecksumListSize,
      [](int seconds) { WriteLine(" " + StillWaitingLine(seconds)); });
  const bool arrived = FileExists(listPath);
  const bool tooLarge = code == FetchTooLarge || (arrived && FileSize64(listPath) > MaxChecksumListSize);
  std::string list;
  const bool read = arrived && !tooLarge && ReadWholeFile(listPath, list);
  RemoveFile(listPath);
  bool twoValues = false;
  if (code == 0 && read && FindListedHash(list, filename, expected, &twoValues)) return true;
  WriteLine(" * ERROR cannot verify the image: " +
            ChecksumListFailure(code, tooLarge, read, twoValues, filename));
  return false;
}

bool FetchedHasHash(const std::string& fetched, const ListedHash& expected,
                    DownloadHasher& hasher) {
  const std::string name = DigestName(expected.kind);
  bool shown = false;
  const auto progress = [&](uint64_t done, uint64_t total) {
    const uint64_t percent = total ? done * 100 / total : 100;
    WriteText("\r Verifying image (" + name + ") ... " + std::to_string(percent) + "%");
    shown = true;
  };
  std::string actual;
  bool same = hasher.Finish(actual, progress) && SameHash(expected.kind, expected.hex, actual);
  if (!same) {
    DownloadHasher whole(fetched, expected.kind);
    same = whole.Finish(actual, progress) && SameHash(expected.kind, expected.hex, actual);
  }
  if (shown) WriteLine();
  return same;
}

bool IsWebPageText(const std::string& head) {
  std::size_t at = StartsWithNoCase(head, 0, "\xef\xbb\xbf") ? 3 : 0;
  while (at < head.size() && std::string(" \t\r\n\f\v").find(head[at]) != std::string::npos) ++at;
  return StartsWithNoCase(head, at, "<!doctype html") || StartsWithNoCase(head, at, "<html");
}
