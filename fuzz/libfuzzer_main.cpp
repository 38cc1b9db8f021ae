// The libFuzzer entry of one target; QH_FUZZ_TARGET names its function (FuzzIni ...).
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return QH_FUZZ_TARGET(data, size);
}
