// Opening a chosen OS: launch it, or download its image first.
#pragma once
#include <string>

std::string WgetCommandLine(const std::string& appDir, const std::string& imagesDir,
                            const std::string& download, bool partialPresent);
void OpenOs(int category, int entry, bool old);

// How a download ended: the image lies in place; nothing usable arrived; or what arrived
// was refused and removed (a web page, or a file whose SHA-256 is not the catalogue's),
// with a line saying why below the download screen.
enum class DownloadResult { Placed, Failed, Refused };
DownloadResult FetchImage(const std::string& name, const std::string& version,
                          const std::string& download, const std::string& filename,
                          const std::string& sha256);
// True when the image now lies in place. An empty sha256 checks no hash.
bool DownloadImage(const std::string& name, const std::string& version,
                   const std::string& download, const std::string& filename,
                   const std::string& sha256 = "");

// True for the start of a web page: "<!DOCTYPE html" or "<html" in any letter case, after
// blanks and line ends (and a UTF-8 byte order mark).
bool IsWebPageText(const std::string& head);
