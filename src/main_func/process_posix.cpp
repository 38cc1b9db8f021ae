// Starting programs on POSIX systems: command lines written for Windows are split into
// words, their backslashes mapped, and the program found with the ".exe" rule.
#include "main_func/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "main_func/path_map_posix.h"

// Linux refuses a single argument longer than 32 pages (131072 bytes with its NUL); a line
// within this limit can never hold a word that the kernel would refuse.
const std::size_t MaxCommandLine = 131071;

const int InterruptExit = 128 + SIGINT;

namespace {

constexpr int ShellOk = 33;           // any value above 32 means success to the callers
constexpr int ShellFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
constexpr int ShellPathNotFound = 3;  // ERROR_PATH_NOT_FOUND
constexpr int ShellAccessDenied = 5;  // SE_ERR_ACCESSDENIED

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string FirstExecutable(const std::string& mapped) {
  for (const std::string& name : ProgramAliases(mapped))
    if (IsExecutableFile(name)) return name;
  return "";
}

// The file to execute for a program word, or "" when there is none. A word with a slash
// is a path; a bare word is looked up on PATH.
std::string FindProgram(const std::string& word) {
  if (word.empty()) return "";
  if (word.find('/') != std::string::npos) return FirstExecutable(word);
  const char* env = std::getenv("PATH");
  std::string path = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string dir = path.substr(start, end - start);
    std::string found = FirstExecutable((dir.empty() ? "." : dir) + "/" + word);
    if (!found.empty()) return found;
    start = end + 1;
  }
  return "";
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  std::string cwd(4096, '\0');
  if (!getcwd(cwd.data(), cwd.size())) return path;
  cwd.resize(cwd.find('\0'));
  return cwd + "/" + path;
}

std::vector<char*> ArgPointers(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

void MoveFd(int fd, int target) {
  if (fd < 0) return;
  if (fd == target) fcntl(fd, F_SETFD, 0);
  else dup2(fd, target);
}

struct Redirects {
  int in = -1, out = -1, err = -1;
};

// A watcher of a running child (RunWatched); none for the other runs.
struct Watch {
  int intervalMs = 0;
  const std::function<bool(long long)>* keepGoing = nullptr;
  std::uint64_t fileLimit = 0;  // RLIMIT_FSIZE of the child; 0 = as inherited
};

// How often a watched child is looked at; short, so its end is noticed at once.
constexpr auto PollStep = std::chrono::milliseconds(20);

// Waits for the child; with a watcher, polls it and ends the child when the watcher says so
// (status is then untouched and the result false with ended set).
bool WaitChild(pid_t pid, int& status, const Watch& watch, bool& ended) {
  ended = false;
  if (!watch.keepGoing) {
    while (waitpid(pid, &status, 0) < 0)
      if (errno != EINTR) return false;
    return true;
  }
  const auto start = std::chrono::steady_clock::now();
  long long next = watch.intervalMs;
  for (;;) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return true;
    if (r < 0 && errno != EINTR) return false;
    std::this_thread::sleep_for(PollStep);
    const long long elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start).count();
    if (elapsed < next) continue;
    next = elapsed + watch.intervalMs;
    if ((*watch.keepGoing)(elapsed)) continue;
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ended = true;
    return false;
  }
}

// CTRL + C and CTRL + \ in the terminal go to the whole foreground group: while a child
// runs, they are the child's to act on (a stopped download), not a reason for this program
// to end; this program only records that one came. A caught signal gets its default back
// across exec, so the child acts on it as usual.
volatile sig_atomic_t InterruptCame = 0;

void RecordInterrupt(int) { InterruptCame = 1; }

class InterruptsToChild {
 public:
  InterruptsToChild() {
    InterruptCame = 0;
    struct sigaction record {};
    record.sa_handler = RecordInterrupt;
    record.sa_flags = SA_RESTART;
    sigemptyset(&record.sa_mask);
    sigaction(SIGINT, &record, &oldInt_);
    sigaction(SIGQUIT, &record, &oldQuit_);
  }
  ~InterruptsToChild() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGQUIT, &oldQuit_, nullptr);
  }
  InterruptsToChild(const InterruptsToChild&) = delete;
  InterruptsToChild& operator=(const InterruptsToChild&) = delete;
  // True when an interrupt came since this object was made. A signal that a child sent
  // before it ended is delivered before waitpid returns, so none is missed.
  static bool Came() { return InterruptCame != 0; }
  // In the child, before exec.
  static void Restore() {
    struct sigaction deflt {};
    deflt.sa_handler = SIG_DFL;
    sigemptyset(&deflt.sa_mask);
    sigaction(SIGINT, &deflt, nullptr);
    sigaction(SIGQUIT, &deflt, nullptr);
  }

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldQuit_ {};
};

// Forks and execs; a failed exec is reported back through a pipe that closes on a
// successful one, so "could not start" is -1 and never a child's exit code.
int SpawnAndWait(const std::string& program, std::vector<std::string> args,
                 const std::string& workDir, const Redirects& r, const Watch& watch) {
  std::vector<char*> argv = ArgPointers(args);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return -1;
  std::fflush(stdout);
  std::fflush(stderr);
  InterruptsToChild interrupts;
  pid_t pid = fork();
  if (pid < 0) {
    close(report[0]);
    close(report[1]);
    return -1;
  }
  if (pid == 0) {
    InterruptsToChild::Restore();
    if (watch.fileLimit > 0) {
      const struct rlimit limit {static_cast<rlim_t>(watch.fileLimit), static_cast<rlim_t>(watch.fileLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    int err = 0;
    if (!workDir.empty() && chdir(workDir.c_str()) != 0) err = errno;
    if (err == 0) {
      MoveFd(r.in, 0);
      MoveFd(r.out, 1);
      MoveFd(r.err, 2);
      execv(program.c_str(), argv.data());
      err = errno;
    }
    ssize_t ignored = write(report[1], &err, sizeof err);
    (void)ignored;
    _exit(127);
  }
  close(report[1]);
  int childErr = 0;
  ssize_t n;
  do n = read(report[0], &childErr, sizeof childErr);
  while (n < 0 && errno == EINTR);
  close(report[0]);

  int status = 0;
  bool ended = false;
  const bool waited = WaitChild(pid, status, watch, ended);
  if (n > 0) return -1;
  int code = -1;
  if (!waited) code = ended ? WatchEnded : -1;
  else if (WIFEXITED(status)) code = WEXITSTATUS(status);
  else if (WIFSIGNALED(status)) code = 128 + WTERMSIG(status);
  return ReportedExit(code, InterruptsToChild::Came());
}

int Run(const std::string& commandLine, const std::string& workDir, const Redirects& r,
        const Watch& watch = Watch{}) {
  if (commandLine.size() > MaxCommandLine) return -1;
  std::vector<std::string> args = SplitCommandLine(commandLine);
  if (args.empty()) return -1;
  std::string program = FindProgram(args[0]);
  if (program.empty()) return -1;
  if (!workDir.empty()) program = Absolute(program);
  return SpawnAndWait(program, args, workDir, r, watch);
}

int OpenFor(const std::string& path, int flags) {
  return open(MapSlashes(path).c_str(), flags | O_CLOEXEC, 0666);
}

// --- shell start ---

// Starts a program that lives on by itself: a second fork leaves it without a parent to
// wait for it, setsid without our terminal, and its output goes nowhere.
int StartDetached(std::vector<std::string> args) {
  std::string program = FindProgram(args[0]);
  if (program.empty()) return ShellFileNotFound;
  std::vector<char*> argv = ArgPointers(args);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return ShellFileNotFound;
  std::fflush(stdout);
  std::fflush(stderr);
  pid_t pid = fork();
  if (pid < 0) {
    close(report[0]);
    close(report[1]);
    return ShellFileNotFound;
  }
  if (pid == 0) {
    setsid();
    if (fork() != 0) _exit(0);
    int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      if (null > 2) close(null);
    }
    execv(program.c_str(), argv.data());
    int err = errno;
    ssize_t ignored = write(report[1], &err, sizeof err);
    (void)ignored;
    _exit(127);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  int childErr = 0;
  ssize_t n;
  do n = read(report[0], &childErr, sizeof childErr);
  while (n < 0 && errno == EINTR);
  close(report[0]);
  return n > 0 ? ShellFileNotFound : ShellOk;
}

// The user's browser ($BROWSER, whose "%s" stands for the address) or the desktop's opener.
int OpenWithDesktop(const std::string& target) {
  std::vector<std::string> args;
  const char* browser = std::getenv("BROWSER");
  std::string command = browser ? browser : "";
  command = command.substr(0, command.find(':'));
  if (!command.empty()) {
    bool placed = false;
    size_t start = 0;
    while (start < command.size()) {
      size_t end = command.find(' ', start);
      if (end == std::string::npos) end = command.size();
      std::string word = command.substr(start, end - start);
      if (size_t at = word.find("%s"); at != std::string::npos) {
        word.replace(at, 2, target);
        placed = true;
      }
      if (!word.empty()) args.push_back(word);
      start = end + 1;
    }
    if (!placed) args.push_back(target);
  }
  if (!args.empty()) return StartDetached(args);
  // The desktop's opener, else Debian's choice of browser (a machine without a desktop).
  if (!FindProgram("xdg-open").empty()) return StartDetached({"xdg-open", target});
  return StartDetached({"x-www-browser", target});
}

struct HandOver {
  bool pending = false;
  std::string program;
  std::vector<std::string> args;
  std::string workDir;
};

HandOver Pending;

}  // namespace

void SetChildEnvironment(const std::string& name, const std::string& value) {
  if (value.empty()) unsetenv(name.c_str());
  else setenv(name.c_str(), value.c_str(), 1);
}

bool IsInterruptExit(int exitCode) { return exitCode == 128 + SIGINT || exitCode == 128 + SIGQUIT; }

int RunAndWait(const std::string& commandLine, int /*showMode: no windows here*/) {
  return Run(commandLine, "", Redirects{});
}

int RunWatched(const std::string& commandLine, int /*showMode*/, int intervalMs,
               const std::function<bool(long long)>& keepGoing, std::uint64_t fileLimit) {
  return Run(commandLine, "", Redirects{},
             Watch{intervalMs > 0 ? intervalMs : 1, &keepGoing, fileLimit});
}

int RunRedirected(const std::string& commandLine, const std::string& workDir,
                  const std::string& inPath, const std::string& outPath,
                  const std::string& errPath) {
  Redirects r;
  bool ok = true;
  if (!inPath.empty()) ok = (r.in = OpenFor(inPath, O_RDONLY)) >= 0;
  if (ok && !outPath.empty()) ok = (r.out = OpenFor(outPath, O_WRONLY | O_CREAT | O_TRUNC)) >= 0;
  if (ok && !errPath.empty()) {
    if (errPath == outPath) r.err = r.out;
    else ok = (r.err = OpenFor(errPath, O_WRONLY | O_CREAT | O_TRUNC)) >= 0;
  }
  int result = ok ? Run(commandLine, MapSlashes(workDir), r) : -1;
  for (int fd : {r.in, r.out}) if (fd >= 0) close(fd);
  if (r.err >= 0 && r.err != r.out) close(r.err);
  return result;
}

int ShellStart(const std::string& /*verb*/, const std::string& file, const std::string& params,
               const std::string& workDir, int /*showMode*/) {
  if (file.find("://") != std::string::npos) return OpenWithDesktop(file);

  std::string mapped = MapSlashes(file);
  std::string dir = MapSlashes(workDir);
  std::vector<std::string> bases{mapped};
  if (!mapped.empty() && mapped[0] != '/' && !dir.empty()) bases.push_back(dir + "/" + mapped);
  for (const std::string& base : bases) {
    for (const std::string& name : ExeAliases(base)) {
      struct stat st {};
      if (stat(name.c_str(), &st) != 0) continue;
      if (!IsExecutableFile(name)) {
        // A program that cannot run is refused, not handed to a document viewer.
        if (ExeAliases(mapped).size() > 1) return ShellAccessDenied;
        return OpenWithDesktop(name);
      }
      struct stat dirSt {};
      if (!dir.empty() && (stat(dir.c_str(), &dirSt) != 0 || !S_ISDIR(dirSt.st_mode)))
        return ShellPathNotFound;
      Pending.pending = true;
      Pending.program = Absolute(name);
      Pending.args = {mapped};
      for (const std::string& word : SplitCommandLine(params)) Pending.args.push_back(word);
      Pending.workDir = dir;
      static bool registered = false;
      if (!registered) registered = std::atexit(RunPendingHandOver) == 0;
      return ShellOk;
    }
  }
  return ShellFileNotFound;
}

void RunPendingHandOver() {
  if (!Pending.pending) return;
  HandOver h = Pending;
  Pending = HandOver{};
  std::fflush(nullptr);
  if (!h.workDir.empty() && chdir(h.workDir.c_str()) != 0) return;
  std::vector<char*> argv = ArgPointers(h.args);
  execv(h.program.c_str(), argv.data());
}
