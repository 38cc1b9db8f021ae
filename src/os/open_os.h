// Opening a chosen OS: launch it, or download its image first.
#pragma once
#include <string>

// The image's wget command line; continuePart adds "-c", for a part that came from the
// same link (the download records where each part came from).
std::string WgetCommandLine(const std::string& appDir, const std::string& imagesDir,
                            const std::string& download, bool continuePart);
void OpenOs(int category, int entry, bool old);

// How a download ended: the image lies in place; nothing usable arrived; or the download
// was refused, with a line saying why below the download screen (a link or file name that
// may not reach wget or the images folder, a checksum list that cannot be used, or what
// arrived was refused and removed: a web page, or a file whose hash is not the
// catalogue's or the publisher's).
enum class DownloadResult { Placed, Failed, Refused };
DownloadResult FetchImage(const std::string& name, const std::string& version,
                          const std::string& download, const std::string& filename,
                          const std::string& sha256, const std::string& checksums = "");
// True when the image now lies in place. An empty sha256 and empty checksums check no hash;
// checksums is the link of the publisher's checksum list, used when sha256 is empty.
bool DownloadImage(const std::string& name, const std::string& version,
                   const std::string& download, const std::string& filename,
                   const std::string& sha256 = "", const std::string& checksums = "");
