// Where updates come from: the built-in update server, unless the installation names
// another one. Read by the main program's self-check and by the updater.
#pragma once
#include <string>

// The base address of the update server, ending in "/": options.ini [update] server of the
// installation in appDir (a directory ending in a separator), or UpdateServerUrl.
std::string UpdateServer(const std::string& appDir);

// True when address names the built-in update server however it is written: scheme http or
// https and host in any letter case, the scheme's default port written or not, with or
// without the final "/", the host with or without its final dot. Another host, port or
// path, or a user name before the host, is another server.
bool IsBuiltInUpdateServer(const std::string& address);
