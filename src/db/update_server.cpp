#include "db/update_server.h"

#include <cctype>

#include "db/ini_file.h"
#include "main_func/addresses.h"
#include "main_func/text_helpers.h"

namespace {

// The parts of an address "scheme://host[:port]/path": scheme and host lower-cased, the port
// "" when none is written; false for an address of another form.
bool SplitAddress(const std::string& address, std::string& scheme, std::string& host,
                  std::string& port, std::string& path) {
  const std::size_t schemeEnd = address.find("://");
  if (schemeEnd == std::string::npos) return false;
  scheme = Lower(address.substr(0, schemeEnd));
  const std::size_t hostStart = schemeEnd + 3;
  const std::size_t pathStart = address.find('/', hostStart);
  std::string authority = address.substr(hostStart, pathStart - hostStart);
  path = pathStart == std::string::npos ? "" : address.substr(pathStart);
  const std::size_t colon = authority.rfind(':');
  if (colon != std::string::npos) {
    port = authority.substr(colon + 1);
    authority.erase(colon);
  }
  host = Lower(authority);
  // "name." is the same host to the resolver.
  if (host.size() > 1 && host.back() == '.') host.pop_back();
  return true;
}

}  // namespace

std::string UpdateServer(const std::string& appDir) {
  std::string server = IniFile(appDir + "options.ini").ReadString("update", "server", "");
  if (server.empty()) return UpdateServerUrl;
  // Package paths are appended directly, so a server named without its final slash
  // would otherwise run into them ("http://hostupt/...").
  if (server.back() != '/') server += '/';
  return server;
}

bool IsBuiltInUpdateServer(const std::string& address) {
  std::string scheme, host, port, path;
  std::string builtInScheme, builtInHost, builtInPort, builtInPath;
  if (!SplitAddress(address, scheme, host, port, path) ||
      !SplitAddress(UpdateServerUrl, builtInScheme, builtInHost, builtInPort, builtInPath))
    return false;
  // A name before "@" is a login and the host follows it; another path is another tree.
  if (host != builtInHost || (!path.empty() && path != builtInPath)) return false;
  for (char c : port)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  const std::string defaultPort = scheme == "http" ? "80" : scheme == "https" ? "443" : "";
  if (defaultPort.empty()) return false;
  std::string digits = port;
  while (digits.size() > 1 && digits[0] == '0') digits.erase(0, 1);
  return port.empty() || digits == defaultPort;
}
