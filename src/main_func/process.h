// Starting external programs: tools that are waited for, and programs or web pages
// handed to the shell.
#pragma once
#include <cstddef>
#include <cstdint>
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
// (killed: it gets no chance to write more) and the result is WatchEnded. A fileLimit above
// 0 bounds every file the child writes to that many bytes where the system can (POSIX: the
// kernel stops the child's writes there); elsewhere only the watcher bounds it.
int RunWatched(const std::string& commandLine, int showMode, int intervalMs,
               const std::function<bool(long long elapsedMs)>& keepGoing,
               std::uint64_t fileLimit = 0);

// True for the exit code of a child that CTRL + C ended (SIGINT on POSIX,
// STATUS_CONTROL_C_EXIT on Windows).
bool IsInterruptExit(int exitCode);

// The code RunAndWait, RunWatched and RunRedirected report for a child that CTRL + C (or
// CTRL + Break, CTRL + \) reached: 128 + SIGINT on POSIX, STATUS_CONTROL_C_EXIT on Windows.
extern const int InterruptExit;

// What the run functions report for a child that ended with childCode. This program's own
// console handler records an interrupt that comes while the child runs, and that record
// decides: such a child was stopped by the user whatever code it gave (a console child
// under Wine ends with 0 after CTRL + C, and a stopped download must not pass for a whole
// one). A child that could not be started (-1) stays so.
inline int ReportedExit(int childCode, bool interruptCame) {
  return interruptCame && childCode != -1 ? InterruptExit : childCode;
}

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
