#include "main_func/sysinfo.h"

// A 64-bit build can only run on a 64-bit host; a 32-bit build finds out through WOW64.
bool Is64BitHost() { return sizeof(void*) == 8 || TOSInfo::IsWow64(); }
