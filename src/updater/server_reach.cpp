#include "updater/server_reach.h"

#include "db/ini_document.h"
#include "main_func/download_reason.h"
#include "main_func/files.h"
#include "trust/signed_release.h"

std::string UnreachableReason(int wgetCode, const std::string& verIniPath) {
  if (wgetCode == 8)
    return "the update server answered with an error for ver.ini (such as 404 Not Found)";
  if (wgetCode == FetchTooLarge)
    return "the version file passed its limit of 1 MiB and its fetch was stopped";
  if (wgetCode != 0) return WgetFailureReason(wgetCode);
  if (!FileExists(verIniPath)) return "no version file arrived";
  if (FileSize64(verIniPath) == 0) return "the version file is empty";
  // Whatever let a larger one arrive, it is never read into memory.
  if (FileSize64(verIniPath) > MaxVersionFileSize)
    return "the version file is larger than its limit of 1 MiB";
  IniDocument doc;
  if (!doc.Load(verIniPath) || !doc.SectionExists("version"))
    return "the version file has no [version] section";
  return "";
}
