#include "main_func/download_reason.h"

#include "main_func/files.h"
#include "main_func/process.h"

std::string WgetFailureReason(int exitCode) {
  if (IsInterruptExit(exitCode)) return "stopped by the user";
  switch (exitCode) {
    case 0: return "";
    case -1: return "wget could not be started";
    case 2: return "wget did not understand its command line";
    case 3: return "the file could not be written";
    // wget's one code for every network failure: all its causes are named.
    case 4:
      return "no network, the server's name was not found, the connection was refused, timed "
             "out or was cut off";
    case 5: return "the server's certificate could not be verified";
    case 6: return "the server asked for a login";
    case 7: return "the server's answer could not be understood";
    case 8: return "the server answered with an error (such as 404 Not Found)";
    default: return "wget ended with code " + std::to_string(exitCode);
  }
}

void UseInstallationWgetrc(const std::string& appDir) {
  static bool named = false;  // by this program: a WGETRC of the user's own is left alone
  const std::string wgetrc = appDir + "wget\\wgetrc";
  if (FileExists(wgetrc)) {
    SetChildEnvironment("WGETRC", NativePath(wgetrc));
    named = true;
  } else if (named) {
    SetChildEnvironment("WGETRC", "");
    named = false;
  }
}
