// Placeholder until the launching screens land.
#include "os/open_os.h"
void OpenOs(int, int, bool) {}
