// The QEMU front end, installed as qemu\qemu(.exe): takes Quillhaven's QEMU command lines,
// runs today's QEMU with them translated, and leaves QEMU's error output in
// qemu\stderr.txt beside itself.
#pragma once
#include <string>
#include <vector>

// args: the arguments after the program name. Returns QEMU's exit code, or 1 when QEMU
// was not run (the reason is then in stderr.txt).
int RunFront(const std::vector<std::string>& args);
