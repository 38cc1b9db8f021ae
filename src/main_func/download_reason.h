// wget as both programs run it: the bounds of every fetch, and why a download failed, in
// words for the screen.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// The reason shown when a tool (its name as the user knows it: "wget", "qemu-img") could not
// be started at all, in the same words for every tool.
std::string NotStartedReason(const std::string& tool);

// The reason for wget's exit code (as RunAndWait or RunBoundedFetch returns it), or "" for
// 0: success.
std::string WgetFailureReason(int exitCode);

// Codes of a bounded fetch that this program ended, beside wget's own.
constexpr int FetchTooLarge = -3;
constexpr int FetchTooLong = -4;

// How often a watched fetch looks at what wget has written: a file grows by at most a few
// MB between two looks.
constexpr int FetchLookEveryMs = 20;

// The longest a fetch of a small file (a version file, a signature, a checksum list) may
// take in all. wget's own timeout bounds each silence only: a server sending a byte now and
// then would hold it for ever.
constexpr int SmallFetchDeadlineSeconds = 120;

// Runs wget's command line for one small file that wget writes at path, and ends wget as
// soon as that file grows above maxBytes (FetchTooLarge) or the deadline has passed
// (FetchTooLong); otherwise returns wget's code as RunAndWait does. While wget runs, onWait
// (when given) is called every 20 s with the seconds waited so far.
int RunBoundedFetch(const std::string& commandLine, const std::string& path,
                    std::uint64_t maxBytes, const std::function<void(int seconds)>& onWait = {});

// The line a waiting fetch shows every 20 s.
std::string StillWaitingLine(int seconds);

// Names the installation's "wget\wgetrc" (below appDir) in the WGETRC variable of the
// environment wget gets, so that the command lines stay as they are and every fetch is
// still bounded (a server that never answers). When the file is gone (a new tools package
// without it), a variable set here earlier is removed: wget refuses to run when WGETRC
// names a missing file. The variable holds the path relative to the working directory, which
// wget starts in (appDirFromWorkDir leads from there to appDir: "" or "..\"): an ANSI wget
// could not open an absolute path with characters outside its code page, and an 8.3 short
// name exists only on volumes that keep them.
void UseInstallationWgetrc(const std::string& appDir, const std::string& appDirFromWorkDir);
