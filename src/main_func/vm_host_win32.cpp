#include "main_func/vm_host.h"

#include <windows.h>

#include <cstdint>

namespace {

// From WinHvPlatformDefs.h, which MinGW does not ship: WHvGetCapability with
// WHvCapabilityCodeHypervisorPresent fills a BOOL.
constexpr int CapabilityHypervisorPresent = 0;
using GetCapabilityFn = HRESULT(WINAPI*)(int code, void* buffer, UINT32 size, UINT32* written);
using WaveOutCountFn = UINT(WINAPI*)();

}  // namespace

bool KvmUsable() { return false; }

bool WhpxUsable() {
  // The library exists only where the optional feature is installed; loading it at run time
  // keeps the program starting on every Windows.
  HMODULE lib = LoadLibraryA("WinHvPlatform.dll");
  if (!lib) return false;
  auto getCapability =
      reinterpret_cast<GetCapabilityFn>(reinterpret_cast<void*>(GetProcAddress(lib, "WHvGetCapability")));
  BOOL present = FALSE;
  UINT32 written = 0;
  bool usable = getCapability &&
                SUCCEEDED(getCapability(CapabilityHypervisorPresent, &present, sizeof present,
                                        &written)) &&
                present;
  FreeLibrary(lib);
  return usable;
}

bool WaveOutputPresent() {
  HMODULE lib = LoadLibraryA("winmm.dll");
  if (!lib) return false;
  auto count =
      reinterpret_cast<WaveOutCountFn>(reinterpret_cast<void*>(GetProcAddress(lib, "waveOutGetNumDevs")));
  bool present = count && count() > 0;
  FreeLibrary(lib);
  return present;
}
