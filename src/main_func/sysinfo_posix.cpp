// Host memory on POSIX systems: /proc/meminfo where there is one, sysinfo otherwise.
#include "main_func/sysinfo.h"

#include <sys/sysinfo.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

// The "Name: value kB" lines of /proc/meminfo, in bytes.
std::map<std::string, uint64_t> ReadMeminfo() {
  std::map<std::string, uint64_t> values;
  std::ifstream in("/proc/meminfo");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string name, unit;
    uint64_t value = 0;
    if (!(words >> name >> value) || name.empty() || name.back() != ':') continue;
    name.pop_back();
    words >> unit;
    values[name] = unit == "kB" ? value * 1024 : value;
  }
  return values;
}

}  // namespace

void GetMemoryStatus(MemoryRecord& record) {
  record.dwLength = sizeof(MemoryRecord);
  uint64_t total = 0, avail = 0, swapTotal = 0, swapFree = 0;
  std::map<std::string, uint64_t> info = ReadMeminfo();
  if (info.count("MemTotal")) {
    total = info["MemTotal"];
    // Older kernels lack MemAvailable; free memory is the nearest they offer.
    avail = info.count("MemAvailable") ? info["MemAvailable"] : info["MemFree"];
    swapTotal = info["SwapTotal"];
    swapFree = info["SwapFree"];
  } else {
    struct sysinfo si {};
    if (sysinfo(&si) != 0) return;
    uint64_t unit = si.mem_unit ? si.mem_unit : 1;
    total = si.totalram * unit;
    avail = (si.freeram + si.bufferram) * unit;
    swapTotal = si.totalswap * unit;
    swapFree = si.freeswap * unit;
  }
  record.ullTotalPhys = total;
  record.ullAvailPhys = avail;
  record.dwMemoryLoad = total ? static_cast<uint32_t>(100 - avail * 100 / total) : 0;
  // Windows counts physical memory plus the paging file as the commit limit.
  record.ullTotalPageFile = total + swapTotal;
  record.ullAvailPageFile = avail + swapFree;
  // The address space of a 64-bit process is 128 TiB, as on 64-bit Windows.
  record.ullTotalVirtual = sizeof(void*) == 8 ? (uint64_t{1} << 47) : (uint64_t{1} << 32);
  record.ullAvailVirtual = record.ullTotalVirtual;
  record.ullAvailExtendedVirtual = 0;
}

bool TOSInfo::IsWow64() { return false; }
