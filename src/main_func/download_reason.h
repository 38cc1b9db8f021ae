// wget as both programs run it: the bounds of every fetch, and why a download failed, in
// words for the screen.
#pragma once
#include <string>

// The reason for wget's exit code (as RunAndWait returns it), or "" for 0: success.
std::string WgetFailureReason(int exitCode);

// Names the installation's "wget\wgetrc" (below appDir) in the WGETRC variable of the
// environment wget gets, so that the command lines stay as they are and every fetch is
// still bounded (a server that never answers). When the file is gone (a new tools package
// without it), a variable set here earlier is removed: wget refuses to run when WGETRC
// names a missing file.
void UseInstallationWgetrc(const std::string& appDir);
