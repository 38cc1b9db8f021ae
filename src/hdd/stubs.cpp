// Placeholder until the virtual-disk screens land.
#include "hdd/boot_hdd.h"
void BootHdd() {}
