// Reading qemu\qemu.ini, the front end's settings written at installation.
#pragma once
#include <string>

#include "qemu_front/translate.h"

// A missing file or key leaves the setting empty.
FrontConfig ReadFrontConfig(const std::string& iniPath);
