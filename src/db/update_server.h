// Where updates come from: the built-in update server, unless the installation names
// another one. Read by the main program's self-check and by the updater.
#pragma once
#include <string>

// The base address of the update server, ending in "/": options.ini [update] server of the
// installation in appDir (a directory ending in a separator), or UpdateServerUrl.
std::string UpdateServer(const std::string& appDir);
