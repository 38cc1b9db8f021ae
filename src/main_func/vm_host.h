// What this host offers a virtual machine; asked by the QEMU front end at each launch.
#pragma once

// /dev/kvm opens for reading and writing, so QEMU can use KVM. False where there is none.
bool KvmUsable();
// The Windows Hypervisor Platform reports a running hypervisor, so QEMU can use WHPX.
// False outside Windows.
bool WhpxUsable();
// Windows has at least one wave output device for QEMU's DirectSound back end. False
// outside Windows.
bool WaveOutputPresent();
