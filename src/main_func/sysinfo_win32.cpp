// Host memory and WOW64 on Windows; the newer calls are looked up at run time so that the
// program still starts on systems that lack them.
#include "main_func/sysinfo.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

namespace {

using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Releases the library on every way out, also when a call raises.
struct LibraryHold {
  HMODULE module;
  ~LibraryHold() {
    if (module) FreeLibrary(module);
  }
};

static_assert(sizeof(MEMORYSTATUSEX) == sizeof(MemoryRecord));

}  // namespace

void GetMemoryStatus(MemoryRecord& record) {
  record.dwLength = sizeof(MemoryRecord);
  LibraryHold kernel{LoadLibraryA("kernel32.dll")};
  if (!kernel.module) return;
  if (auto statusEx = Lookup<GlobalMemoryStatusExFn>(kernel.module, "GlobalMemoryStatusEx")) {
    MEMORYSTATUSEX status;
    std::memcpy(&status, &record, sizeof status);
    if (!statusEx(&status)) return;
    record.dwMemoryLoad = status.dwMemoryLoad;
    record.ullTotalPhys = status.ullTotalPhys;
    record.ullAvailPhys = status.ullAvailPhys;
    record.ullTotalPageFile = status.ullTotalPageFile;
    record.ullAvailPageFile = status.ullAvailPageFile;
    record.ullTotalVirtual = status.ullTotalVirtual;
    record.ullAvailVirtual = status.ullAvailVirtual;
    record.ullAvailExtendedVirtual = status.ullAvailExtendedVirtual;
    return;
  }
  MEMORYSTATUS old{};
  old.dwLength = sizeof old;
  GlobalMemoryStatus(&old);
  record.dwMemoryLoad = old.dwMemoryLoad;
  record.ullTotalPhys = old.dwTotalPhys;
  record.ullAvailPhys = old.dwAvailPhys;
  record.ullTotalPageFile = old.dwTotalPageFile;
  record.ullAvailPageFile = old.dwAvailPageFile;
  record.ullTotalVirtual = old.dwTotalVirtual;
  record.ullAvailVirtual = old.dwAvailVirtual;
}

bool TOSInfo::IsWow64() {
  auto isWow64 = Lookup<IsWow64ProcessFn>(GetModuleHandleA("kernel32"), "IsWow64Process");
  if (!isWow64) return false;
  BOOL flag = FALSE;
  if (!isWow64(GetCurrentProcess(), &flag)) throw std::runtime_error("Bad process handle");
  return flag != FALSE;
}
