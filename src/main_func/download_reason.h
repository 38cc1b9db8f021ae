// Why a download with wget failed, in words for the screen.
#pragma once
#include <string>

// The reason for wget's exit code (as RunAndWait returns it), or "" for 0: success.
std::string WgetFailureReason(int exitCode);
