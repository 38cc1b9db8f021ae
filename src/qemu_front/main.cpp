// qemu\qemu(.exe): the QEMU front end of a Quillhaven installation.
#include <string>
#include <vector>

#include "qemu_front/front.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunFront(args);
}
