// Runs a program and writes its peak memory (the largest resident set of it and of what it
// waited for, in KiB) to a file: "peak_memory OUTFILE PROGRAM ARGS...". A small process of
// its own, so that the figure is the program's and not that of the test that starts it
// (on Linux a child's peak counts the memory of the process it was started from).
// Exits with the program's exit code, or 127 when it could not be started.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  pid_t child = 0;
  if (posix_spawn(&child, argv[2], nullptr, nullptr, argv + 2, environ) != 0) return 127;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  if (FILE* out = std::fopen(argv[1], "w")) {
    std::fprintf(out, "%ld\n", usage.ru_maxrss);
    std::fclose(out);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}
