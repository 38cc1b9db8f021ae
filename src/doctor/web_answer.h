// What a server answered, as wget -S tells it: status lines and headers of every response
// (redirects included) and the address of every request.
#pragma once
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

// Runs wget with the options on the link, its log in logPath; a wget that cannot be started
// answers nothing.
WebAnswer AskWget(const std::string& wget, const std::vector<std::string>& options,
                  const std::string& link, const std::string& logPath);
