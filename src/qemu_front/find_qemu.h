// Finding the real QEMU behind the front end.
#pragma once
#include <functional>
#include <string>

#include "qemu_front/translate.h"

// The program file QEMU is looked for under when qemu.ini names none.
std::string QemuProgramName(HostOs os);

// The real QEMU: [qemu] system when set (a bare name is looked for like the default one, a
// relative path is taken from the front end's folder), else qemu-system-x86_64 in the front
// end's folder exeDir (ending in a separator), else on the PATH (pathEnv). Returns "" when
// no candidate passes fileExists.
std::string FindQemu(const std::string& system, const std::string& exeDir,
                     const std::string& pathEnv, HostOs os,
                     const std::function<bool(const std::string&)>& fileExists);
