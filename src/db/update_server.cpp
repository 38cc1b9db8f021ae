#include "db/update_server.h"

#include "db/ini_file.h"
#include "main_func/addresses.h"

std::string UpdateServer(const std::string& appDir) {
  std::string server = IniFile(appDir + "options.ini").ReadString("update", "server", "");
  if (server.empty()) return UpdateServerUrl;
  // Package paths are appended directly, so a server named without its final slash
  // would otherwise run into them ("http://hostupt/...").
  if (server.back() != '/') server += '/';
  return server;
}
