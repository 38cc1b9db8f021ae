// Writes the demo OS floppy image: make_demo_image OUTPUT
#include <cstdio>
#include <fstream>
#include <vector>

#include "qemu_front/demo_image.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_image OUTPUT\n");
    return 2;
  }
  const std::vector<uint8_t> image = DemoFloppyImage();
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_demo_image: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
