// Host memory and word size.
#pragma once
#include <cstdint>

// Laid out as MEMORYSTATUSEX (64 bytes).
struct MemoryRecord {
  uint32_t dwLength = 0;
  uint32_t dwMemoryLoad = 0;
  uint64_t ullTotalPhys = 0;
  uint64_t ullAvailPhys = 0;
  uint64_t ullTotalPageFile = 0;
  uint64_t ullAvailPageFile = 0;
  uint64_t ullTotalVirtual = 0;
  uint64_t ullAvailVirtual = 0;
  uint64_t ullAvailExtendedVirtual = 0;
};
static_assert(sizeof(MemoryRecord) == 64);

void GetMemoryStatus(MemoryRecord& record);

class TOSInfo {
 public:
  // True when this 32-bit program runs on 64-bit Windows (WOW64).
  static bool IsWow64();
};

// True on a 64-bit host: a 64-bit build, or a 32-bit build under WOW64.
bool Is64BitHost();
