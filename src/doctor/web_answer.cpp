#include "doctor/web_answer.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "main_func/command_words.h"
#include "main_func/download_reason.h"
#include "main_func/files.h"
#include "main_func/process.h"
#include "main_func/text_helpers.h"

WebAnswer ParseWgetLog(const std::string& log, int exitCode) {
  WebAnswer answer;
  answer.exitCode = exitCode;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // "--2026-12-08 22:40:00--  http://host/path": each request wget makes.
    const std::size_t urlAt = line.find("--  ");
    if (line.starts_with("--") && urlAt != std::string::npos && urlAt > 2) {
      answer.finalUrl = line.substr(urlAt + 4);
      continue;
    }
    // Server headers, indented by two blanks.
    if (!line.starts_with("  ")) continue;
    const std::string header = line.substr(2);
    if (header.starts_with("HTTP/")) {
      const std::size_t blank = header.find(' ');
      if (blank == std::string::npos) continue;
      if (answer.status == 301 || answer.status == 308) answer.movedPermanently = true;
      answer.status = std::atoi(header.c_str() + blank + 1);
      answer.answered = true;
      answer.size = -1;
      answer.html = false;
    } else if (Lower(header).starts_with("content-length:")) {
      answer.size = std::atoll(header.c_str() + 15);
    } else if (Lower(header).starts_with("content-type:")) {
      const std::string type = Lower(header.substr(13));
      answer.html = type.find("text/html") != std::string::npos ||
                    type.find("application/xhtml") != std::string::npos;
    }
  }
  // FTP has no status lines: wget's own success is the answer.
  if (!answer.answered && exitCode == 0) answer.answered = true;
  return answer;
}

WebAnswer AskWget(const std::string& wget, const std::vector<std::string>& options,
                  const std::string& link, const std::string& logPath,
                  const FetchBounds& bounds) {
  // A server's headers take a few KiB: one that sends them without end is cut off.
  constexpr std::uint64_t MaxLogSize = 1u << 20;
  // Where the system can, no file of the fetch grows past its bound at all: the log, and a
  // bounded body (an image fetched for --pin has no bound).
  const std::uint64_t fileLimit =
      bounds.bodyPath.empty() ? MaxLogSize + 1 : std::max(MaxLogSize, bounds.maxBody) + 1;
  // wget writes its log (-S's headers among it) to a file of its own: watched like the body.
  std::vector<std::string> words = {wget, "-o", logPath};
  words.insert(words.end(), options.begin(), options.end());
  words.push_back(link);
  RemoveFile(logPath);
  int ended = 0;
  int code = RunWatched(JoinWords(words), ShowNormal, FetchLookEveryMs, [&](long long elapsedMs) {
    if (FileSize64(logPath) > MaxLogSize ||
        (!bounds.bodyPath.empty() && FileSize64(bounds.bodyPath) > bounds.maxBody))
      ended = FetchTooLarge;
    else if (bounds.deadline && elapsedMs >= SmallFetchDeadlineSeconds * 1000LL)
      ended = FetchTooLong;
    return ended == 0;
  }, bounds.bodyPath.empty() && !bounds.deadline ? 0 : fileLimit);
  if (code == WatchEnded) code = ended;
  // The system stopped a file at its bound: wget ended with an error of its own.
  if (FileSize64(logPath) > MaxLogSize ||
      (!bounds.bodyPath.empty() && FileSize64(bounds.bodyPath) > bounds.maxBody))
    code = FetchTooLarge;
  std::string log;
  if (FileSize64(logPath) <= MaxLogSize) ReadWholeFile(logPath, log);
  RemoveFile(logPath);
  if (code == -1) return WebAnswer{};
  return ParseWgetLog(log, code);
}
