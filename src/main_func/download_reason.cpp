#include "main_func/download_reason.h"

#include "main_func/files.h"
#include "main_func/process.h"

std::string NotStartedReason(const std::string& tool) { return tool + " could not be started"; }

std::string WgetFailureReason(int exitCode) {
  if (IsInterruptExit(exitCode)) return "stopped by the user";
  switch (exitCode) {
    case 0: return "";
    case -1: return NotStartedReason("wget");
    case 2: return "wget did not understand its command line";
    case 3: return "the file could not be written (disk full or not writable)";
    // wget's one code for every network failure: all its causes are named.
    case 4:
      return "no network, the server's name was not found, the connection was refused, timed "
             "out or was cut off";
    case 5: return "the server's certificate could not be verified";
    case 6: return "the server asked for a login";
    case 7: return "the server's answer could not be understood";
    case 8: return "the server answered with an error (such as 404 Not Found)";
    case FetchTooLarge: return "the file passed its size limit and its fetch was stopped";
    case FetchTooLong: return "the fetch did not end within 2 minutes";
    default: return "wget ended with code " + std::to_string(exitCode);
  }
}

void UseInstallationWgetrc(const std::string& appDir, const std::string& appDirFromWorkDir) {
  static bool named = false;  // by this program: a WGETRC of the user's own is left alone
  if (FileExists(appDir + "wget\\wgetrc")) {
    SetChildEnvironment("WGETRC", NativePath(appDirFromWorkDir + "wget\\wgetrc"));
    named = true;
  } else if (named) {
    SetChildEnvironment("WGETRC", "");
    named = false;
  }
}

int RunBoundedFetch(const std::string& commandLine, const std::string& path,
                    std::uint64_t maxBytes, const std::function<void(int seconds)>& onWait) {
  // Where the system cannot stop the writes at the limit, a file grows by at most what
  // FetchLookEveryMs allows.
  constexpr long long WaitLineEveryMs = 20000;
  long long nextWaitLine = WaitLineEveryMs;
  int ended = 0;
  const int code = RunWatched(commandLine, ShowNormal, FetchLookEveryMs, [&](long long elapsedMs) {
    if (FileSize64(path) > maxBytes) ended = FetchTooLarge;
    else if (elapsedMs >= SmallFetchDeadlineSeconds * 1000LL) ended = FetchTooLong;
    if (ended != 0) return false;
    if (elapsedMs >= nextWaitLine) {
      nextWaitLine += WaitLineEveryMs;
      if (onWait) onWait(static_cast<int>(elapsedMs / 1000));
    }
    return true;
  }, maxBytes + 1);
  if (code == WatchEnded) return ended;
  // A file that passed the limit in the last moments, or that the system stopped at it
  // (wget then ends with an error of its own), is refused all the same.
  if (FileSize64(path) > maxBytes) return FetchTooLarge;
  return code;
}

std::string StillWaitingLine(int seconds) {
  return "no answer yet, still waiting (" + std::to_string(seconds / 20 * 20) +
         " s of at most 2 minutes)";
}
