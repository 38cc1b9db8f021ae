// What a server answered, as wget -S tells it: status lines and headers of every response
// (redirects included) and the address of every request.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct WebAnswer {
  bool answered = false;         // a response came (an HTTP status, or wget's success)
  int status = 0;                // the last response's HTTP status; 0 when there was none
  bool movedPermanently = false;  // a 301 or 308 on the way
  std::string finalUrl;          // the address of the last request
  long long size = -1;           // Content-Length of the last response; -1 when unknown
  bool html = false;             // the last response is a web page
  int exitCode = -1;             // wget's
};

// Reads wget's -S log (its standard error).
WebAnswer ParseWgetLog(const std::string& log, int exitCode);

// How long and how large a fetch may grow before the doctor ends wget. Its log (the
// server's headers) is always bounded; bodyPath, when given, to maxBody bytes.
struct FetchBounds {
  bool deadline = true;        // at most SmallFetchDeadlineSeconds in all
  std::string bodyPath;        // the file wget writes, "" for none
  std::uint64_t maxBody = 0;
};

// Runs wget with the options on the link, its log in logPath, within the bounds; a wget
// that cannot be started answers nothing. A fetch the doctor ended has the exitCode
// FetchTooLarge or FetchTooLong (main_func/download_reason.h).
WebAnswer AskWget(const std::string& wget, const std::vector<std::string>& options,
                  const std::string& link, const std::string& logPath,
                  const FetchBounds& bounds = {});
