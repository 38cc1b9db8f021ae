// Starting programs with CreateProcessA and ShellExecuteA.
#include "main_func/process.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

// CreateProcessA takes at most 32767 characters including the terminating NUL.
const std::size_t MaxCommandLine = 32766;

const int InterruptExit = static_cast<int>(0xC000013Au);  // STATUS_CONTROL_C_EXIT

namespace {

// CTRL + C and CTRL + Break reach every process of the console: while a child runs, they
// are the child's to act on (a stopped download), not a reason for this program to end;
// this program only records that one came. The console hands the event to each process in
// turn, on a thread of its own, so it may reach this program only after the child ended:
// one that comes within LateInterruptMs of a child's end is still the child's. At other
// times the handler passes the event on and the program ends as a console program does. A
// handler of our own, unlike SetConsoleCtrlHandler(NULL, TRUE), is not inherited; it stays
// installed from the first child on, so that no late event finds it removed.
constexpr LONGLONG LateInterruptMs = 2000;
volatile LONG InterruptCame = 0;
volatile LONG ChildRunning = 0;
volatile LONGLONG ChildEndedAt = 0;  // GetTickCount64 at the last child's end

BOOL WINAPI IgnoreInterrupt(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  const LONGLONG sinceEnd =
      static_cast<LONGLONG>(GetTickCount64()) - InterlockedCompareExchange64(&ChildEndedAt, 0, 0);
  if (InterlockedCompareExchange(&ChildRunning, 0, 0) == 0 && sinceEnd > LateInterruptMs)
    return FALSE;
  InterlockedExchange(&InterruptCame, 1);
  return TRUE;
}

void ChildStarts() {
  static const bool installed = SetConsoleCtrlHandler(IgnoreInterrupt, TRUE) != 0;
  (void)installed;
  InterlockedExchange(&InterruptCame, 0);
  InterlockedExchange(&ChildRunning, 1);
}

void ChildEnded() {
  InterlockedExchange64(&ChildEndedAt, static_cast<LONGLONG>(GetTickCount64()));
  InterlockedExchange(&ChildRunning, 0);
}

// Starts the command line, waits for it and returns its exit code, or -1 when it cannot
// be started. The line is copied whole into a writable buffer (CreateProcessA may write
// into it), never cut.
int StartAndWait(const std::string& commandLine, const char* workDir, STARTUPINFOA& startup,
                 BOOL inheritHandles, int intervalMs = 0,
                 const std::function<bool(long long)>* keepGoing = nullptr) {
  if (commandLine.size() > MaxCommandLine) return -1;
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  // The child writes into the same console: our buffered text must come first.
  std::fflush(stdout);
  std::fflush(stderr);
  PROCESS_INFORMATION process{};
  ChildStarts();
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, inheritHandles,
                      NORMAL_PRIORITY_CLASS, nullptr, workDir, &startup, &process)) {
    ChildEnded();
    return -1;
  }
  bool ended = false;
  if (!keepGoing) {
    WaitForSingleObject(process.hProcess, INFINITE);
  } else {
    // Polled in short steps, so the child's end is noticed at once.
    const ULONGLONG start = GetTickCount64();
    long long next = intervalMs;
    while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
      const long long elapsed = static_cast<long long>(GetTickCount64() - start);
      if (elapsed < next) continue;
      next = elapsed + intervalMs;
      if ((*keepGoing)(elapsed)) continue;
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, INFINITE);
      ended = true;
      break;
    }
  }
  ChildEnded();
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ReportedExit(ended ? WatchEnded : static_cast<int>(code),
                      InterlockedCompareExchange(&InterruptCame, 0, 0) != 0);
}

// An inheritable handle for one of the child's standard handles: the named file, or a
// duplicate of our own handle when path is "".
HANDLE OpenStd(const std::string& path, DWORD stdId, bool forWriting) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (path.empty()) {
    HANDLE own = GetStdHandle(stdId);
    HANDLE copy = nullptr;
    if (own == nullptr || own == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
      return nullptr;
    return copy;
  }
  HANDLE file = forWriting
                    ? CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
                    : CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file;
}

void CloseIfOpen(HANDLE h) {
  if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

}  // namespace

void SetChildEnvironment(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
}

bool IsInterruptExit(int exitCode) { return exitCode == InterruptExit; }

int RunAndWait(const std::string& commandLine, int showMode) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showMode);
  return StartAndWait(commandLine, nullptr, startup, FALSE);
}

// Windows has no bound on the size of a process's files: the watcher alone bounds them.
int RunWatched(const std::string& commandLine, int showMode, int intervalMs,
               const std::function<bool(long long)>& keepGoing, std::uint64_t /*fileLimit*/) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showMode);
  return StartAndWait(commandLine, nullptr, startup, FALSE, intervalMs > 0 ? intervalMs : 1,
                      &keepGoing);
}

int RunRedirected(const std::string& commandLine, const std::string& workDir,
                  const std::string& inPath, const std::string& outPath,
                  const std::string& errPath) {
  HANDLE in = OpenStd(inPath, STD_INPUT_HANDLE, false);
  HANDLE out = OpenStd(outPath, STD_OUTPUT_HANDLE, true);
  HANDLE err = !errPath.empty() && errPath == outPath ? out
                                                     : OpenStd(errPath, STD_ERROR_HANDLE, true);
  int result = -1;
  bool opened = !(!inPath.empty() && in == INVALID_HANDLE_VALUE) &&
                !(!outPath.empty() && out == INVALID_HANDLE_VALUE) &&
                !(!errPath.empty() && err == INVALID_HANDLE_VALUE);
  if (opened) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    result = StartAndWait(commandLine, workDir.empty() ? nullptr : workDir.c_str(), startup, TRUE);
  }
  CloseIfOpen(in);
  CloseIfOpen(out);
  if (err != out) CloseIfOpen(err);
  return result;
}

int ShellStart(const std::string& verb, const std::string& file, const std::string& params,
               const std::string& workDir, int showMode) {
  std::fflush(stdout);
  HINSTANCE result = ShellExecuteA(nullptr, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                                   params.c_str(), workDir.empty() ? nullptr : workDir.c_str(),
                                   showMode);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

// Windows starts the program at once; nothing waits for the end of this one.
void RunPendingHandOver() {}
