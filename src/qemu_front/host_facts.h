// Gathers the host facts the translation needs, at each launch.
#pragma once
#include "qemu_front/translate.h"

HostOs ThisHostOs();
HostFacts GatherHostFacts();
