// Stands in for an outside tool in tests. It appends "<name>\t<arguments>" to
// <its folder>/../tool_log.txt, where <name> is its own path relative to that parent
// folder, then obeys the action file "<its own full path>.act" line by line:
//   create PATH BYTES | copy SRC DST | append PATH TEXT... | remove PATH | mkdir PATH
//   stdout TEXT... | stderr TEXT... | exit CODE      (# starts a comment)
//   sleep MS: waits that many milliseconds (a slow tool)
//   envfile NAME DEST: appends to DEST the text of the file that the environment variable
//     NAME names, opened with that narrow path as an ANSI program opens it (as wget reads
//     WGETRC), or "cannot open VALUE"
//   with WORD ACTION...: the action only when one of the arguments is WORD
//   interrupt: CTRL + C as the terminal sends it, to the parent and this tool (POSIX only)
//   interrupt-others: CTRL + C to the parent (POSIX) or to every process of the console
//     (Windows), while this tool lives on, as a console child under Wine does (it then ends
//     with 0: follow with "exit 0")
// "$LAST" stands for the last element of the last argument, "$ARG1".."$ARG9" for argv[N].
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "main_func/files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Args;  // argv[1..]

#ifdef _WIN32
HANDLE InterruptSeen = nullptr;

BOOL WINAPI NoteInterrupt(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;
  SetEvent(InterruptSeen);
  return TRUE;
}
#endif

// Sends CTRL + C to the others and survives it. On Windows it waits until the console has
// delivered it here too, so that it has gone out to every process before this tool ends.
void InterruptOthers() {
  std::cout.flush();
#ifdef _WIN32
  InterruptSeen = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(NoteInterrupt, TRUE);
  // Like wget, it ends a moment after the interrupt reached it, not at the same instant:
  // the console hands the event to each of its processes in turn.
  if (GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
    WaitForSingleObject(InterruptSeen, 10000);
    Sleep(500);
  }
  else std::cerr << "fake_tool: no console to interrupt" << std::endl;
#else
  signal(SIGINT, SIG_IGN);
  kill(getppid(), SIGINT);
#endif
}

fs::path ToPath(std::string text) {
  for (char& c : text)
    if (c == '\\') c = '/';
  return fs::path(text);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

std::string Substitute(std::string line) {
  std::string last;
  if (!Args.empty()) {
    last = Args.back();
    size_t sep = last.find_last_of("/\\");
    if (sep != std::string::npos) last = last.substr(sep + 1);
  }
  ReplaceAll(line, "$LAST", last);
  for (int n = 1; n <= 9; ++n) {
    size_t i = static_cast<size_t>(n);
    ReplaceAll(line, "$ARG" + std::to_string(n), i <= Args.size() ? Args[i - 1] : "");
  }
  return line;
}

// Splits off the first word of text (separated by one or more blanks); text keeps the rest
// after the single blank that ends the word, so texts keep their own spacing.
std::string NextWord(std::string& text) {
  size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) {
    text.clear();
    return "";
  }
  size_t end = text.find(' ', start);
  std::string word = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
  text = end == std::string::npos ? "" : text.substr(end + 1);
  return word;
}

void Fail(const std::string& line, const std::string& why) {
  std::cerr << "fake_tool: " << why << ": " << line << std::endl;
}

bool WriteFileOfSize(const fs::path& path, unsigned long long bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string chunk(65536, 'x');
  while (out && bytes > 0) {
    size_t n = bytes < chunk.size() ? static_cast<size_t>(bytes) : chunk.size();
    out.write(chunk.data(), static_cast<std::streamsize>(n));
    bytes -= n;
  }
  return static_cast<bool>(out);
}

// Runs one action; returns true with code set when the action ends the tool.
bool RunAction(const std::string& original, int& code) {
  std::string rest = Substitute(original);
  std::string action = NextWord(rest);
  std::error_code ec;
  if (action == "create") {
    std::string path = NextWord(rest), size = NextWord(rest);
    char* end = nullptr;
    unsigned long long bytes = std::strtoull(size.c_str(), &end, 10);
    if (path.empty() || size.empty() || *end != '\0') Fail(original, "bad create");
    else if (!WriteFileOfSize(ToPath(path), bytes)) Fail(original, "cannot create");
  } else if (action == "copy") {
    std::string from = NextWord(rest), to = NextWord(rest);
    fs::copy_file(ToPath(from), ToPath(to), fs::copy_options::overwrite_existing, ec);
    if (ec) Fail(original, ec.message());
  } else if (action == "append") {
    std::string path = NextWord(rest);
    std::ofstream out(ToPath(path), std::ios::binary | std::ios::app);
    out << rest << '\n';
    if (!out) Fail(original, "cannot append");
  } else if (action == "remove") {
    if (!fs::remove(ToPath(NextWord(rest)), ec)) Fail(original, ec ? ec.message() : "no such file");
  } else if (action == "mkdir") {
    fs::create_directories(ToPath(NextWord(rest)), ec);
    if (ec) Fail(original, ec.message());
  } else if (action == "stdout") {
    std::cout << rest << '\n' << std::flush;
  } else if (action == "stderr") {
    std::cerr << rest << '\n' << std::flush;
  } else if (action == "sleep") {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoll(NextWord(rest).c_str())));
  } else if (action == "interrupt") {
#ifndef _WIN32
    std::cout.flush();
    kill(getppid(), SIGINT);
    raise(SIGINT);
#endif
  } else if (action == "envfile") {
    const std::string name = NextWord(rest), dest = NextWord(rest);
    const char* value = std::getenv(name.c_str());
    std::string text = "cannot open " + std::string(value ? value : "");
    if (value) {
      if (std::FILE* f = std::fopen(value, "rb")) {
        text.clear();
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
        std::fclose(f);
      }
    }
    std::ofstream out(ToPath(dest), std::ios::binary | std::ios::app);
    out << text;
    if (!out) Fail(original, "cannot append");
  } else if (action == "interrupt-others") {
    InterruptOthers();
  } else if (action == "with") {
    const std::string word = NextWord(rest);
    for (const std::string& arg : Args)
      if (arg == word) return RunAction(rest, code);
  } else if (action == "exit") {
    std::string word = NextWord(rest);
    code = word.empty() ? 0 : std::atoi(word.c_str());
    return true;
  } else {
    Fail(original, "unknown action");
  }
  return false;
}

void LogCall(const fs::path& self) {
  fs::path root = self.parent_path().parent_path();
  std::string line = self.lexically_relative(root).generic_string() + "\t";
  for (size_t i = 0; i < Args.size(); ++i) line += (i ? " " : "") + Args[i];
  std::ofstream log(root / "tool_log.txt", std::ios::binary | std::ios::app);
  log << line << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) Args.emplace_back(argv[i]);
  // Found by its wide name on Windows, so that it works below any folder; everything else
  // it does the ANSI way, as the tools it stands in for.
#ifdef _WIN32
  std::wstring wide(32768, L'\0');
  wide.resize(GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size())));
  const fs::path self(wide);
#else
  const fs::path self(ExePath());
#endif
  LogCall(self);

  std::ifstream actions(fs::path(self.native() + fs::path(".act").native()), std::ios::binary);
  std::string line;
  int code = 0;
  while (std::getline(actions, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (RunAction(line, code)) break;
  }
  std::cout.flush();
  return code;
}
