// Starting external programs: tools that are waited for, and programs or web pages
// handed to the shell.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

constexpr int ShowHidden = 0;   // SW_HIDE
constexpr int ShowNormal = 1;   // SW_SHOWNORMAL

// The longest command line RunAndWait and RunRedirected accept, in characters; a longer
// one is refused with -1 rather than cut.
extern const std::size_t MaxCommandLine;

// Runs a command line (the program is its first word) in the current directory, waits for
// it and returns its exit code, or -1 when it cannot be started or the line is longer than
// the platform allows.
int RunAndWait(const std::string& commandLine, int showMode);

// What RunWatched returns when its watcher ended the child.
constexpr int WatchEnded = -2;

// Like RunAndWait; while the child runs, calls keepGoing with the milliseconds since the
// start about every intervalMs. When keepGoing returns false the child is ended at once
// (killed: it gets no chance to write more) and the result is WatchEnded.
int RunWatched(const std::string& commandLine, int showMode, int intervalMs,
               const std::function<bool(long long elapsedMs)>& keepGoing);

// True for the exit code of a child that CTRL + C ended (SIGINT on POSIX,
// STATUS_CONTROL_C_EXIT on Windows).
bool IsInterruptExit(int exitCode);

// Sets a variable of the environment every later child process gets; an empty value
// removes it.
void SetChildEnvironment(const std::string& name, const std::string& value);

// Runs a command line in workDir with standard input, output and error redirected to the
// given files ("" keeps the inherited handle); waits and returns the exit code, or -1.
int RunRedirected(const std::string& commandLine, const std::string& workDir,
                  const std::string& inPath, const std::string& outPath,
                  const std::string& errPath);

// Opens a document, web address or program through the shell, not waited for.
// verb "" is the default action. Returns a value above 32 on success (ShellExecuteA's rule).
// On POSIX an executable is a hand-over: it is started in workDir when this program ends.
int ShellStart(const std::string& verb, const std::string& file, const std::string& params,
               const std::string& workDir, int showMode);

// On POSIX, starts the program that ShellStart accepted for a hand-over, replacing this
// process (same terminal, its working directory). It does not return when the start works,
// and does nothing when no hand-over is pending or on Windows. main() calls it last; it is
// also registered with atexit, for a program that ends through exit().
void RunPendingHandOver();
