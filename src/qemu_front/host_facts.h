// Gathers the host facts the translation needs, at each launch.
#pragma once
#include "qemu_front/translate.h"

HostOs ThisHostOs();
// wantAudio: whether the launch has sound cards whose back end the host must choose;
// finding one costs time (on Windows a system library is loaded).
HostFacts GatherHostFacts(bool wantAudio);
