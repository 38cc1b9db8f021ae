// Writes the UEFI demo OS disk around its EFI application:
// make_uefi_demo_image APPLICATION OUTPUT
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "qemu_front/uefi_demo_image.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_uefi_demo_image APPLICATION OUTPUT\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<uint8_t> application((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  const std::vector<uint8_t> disk = UefiDemoDisk(application);
  if (disk.empty()) {
    std::fprintf(stderr, "make_uefi_demo_image: %s is missing, empty or too large\n", argv[1]);
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(disk.data()), static_cast<std::streamsize>(disk.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_uefi_demo_image: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
