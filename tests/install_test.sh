#!/usr/bin/env bash
# The installation tree end to end: scripts/demo-install lays out cmake --install's tree
# plus the Demo category; the tree holds every program, tool link and version file; the
# first launch of the demo OS from the menu works without any network (QEMU headless);
# and a second installation over the first keeps what the user changed.
#
# Usage: install_test.sh BUILD_DIR     (exit code 77: skipped)
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [[ ! -x /usr/bin/qemu-system-x86_64 ]]; then
  echo "skipped: qemu-system-x86 is not installed"
  exit 77
fi

work=$(mktemp -d /tmp/qh-install-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
inst=$work/inst
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

"$root/scripts/demo-install" "$build" "$inst" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  exit 1
}

for file in quillhaven qemu/qemu qemu/qemu.ini db/db.ini db/Own.ini db/Demo.ini db/Linux.ini \
  images/demo.img ver.ini updater/ver.ini updater/3ver.ini updater/updater updater/upt; do
  [[ -f "$inst/$file" ]] || fail "missing $file"
done
for link in qemu/qemu-img:qemu-img wget/wget:wget 7z/7za:7za; do
  path=$inst/${link%%:*}
  [[ -L "$path" && $(basename "$(readlink "$path")") == "${link##*:}" ]] ||
    fail "${link%%:*} is not a link to ${link##*:}"
done
grep -q $'^system=/usr/bin/qemu-system-x86_64\r$' "$inst/qemu/qemu.ini" || fail "qemu.ini system"
grep -q $'^version=1.4.1\r$' "$inst/ver.ini" || fail "ver.ini version"
grep -q $'^aver=1\r$' "$inst/updater/3ver.ini" || fail "3ver.ini aver"
grep -q $'^1=Demo\r$' "$inst/db/db.ini" || fail "Demo is not category 1"
cmp -s "$inst/images/demo.img" "$build/bin/demo.img" || fail "demo.img differs from the build's"
if [[ -f "$build/bin/demo-uefi.img" ]]; then
  cmp -s "$inst/images/demo-uefi.img" "$build/bin/demo-uefi.img" || fail "demo-uefi.img differs"
  grep -q $'^firmware=uefi\r$' "$inst/db/Own.ini" || fail "no UEFI demo entry in Own.ini"
fi

# Headless, with the guest ending QEMU itself; everything else as installed.
grep -v '^extra=' "$inst/qemu/qemu.ini" >"$work/qemu.ini"
printf 'extra=-display none -serial file:%s -device isa-debug-exit,iobase=0xf4,iosize=0x04 -accel tcg\r\n' \
  "$work/serial.txt" >>"$work/qemu.ini"
cp "$work/qemu.ini" "$inst/qemu/qemu.ini"

# Demo category, its OS, 128 MB, Enter after QEMU, leave.
(cd "$inst" && printf '2\n1\n1\n\n0\n' | ./quillhaven >"$work/out.txt" 2>&1) || fail "quillhaven exit code $?"
grep -q "Hello from the Quillhaven demo OS!" "$work/serial.txt" 2>/dev/null || fail "no greeting on the serial port"
grep -q "  Qemu \.\.\. \[ OK \]" "$work/out.txt" || fail "self-check does not find the front end"
grep -q "  WGet \.\.\. \[ OK \]" "$work/out.txt" || fail "self-check does not find wget"
grep -q " Quillhaven Demo is now running," "$work/out.txt" || fail "no launch screen"
grep -q " Press <Enter> to continue " "$work/out.txt" || fail "no pause after QEMU"
if grep -q "QEMU ERROR" "$work/out.txt"; then fail "QEMU errors shown"; fi
[[ -f "$inst/qemu/stderr.txt" && ! -s "$inst/qemu/stderr.txt" ]] || fail "qemu/stderr.txt is not empty"

# A second installation keeps the user's Own.ini and qemu.ini and lists Demo once.
printf '[main]\r\ncount=1\r\n' >"$inst/db/Own.ini"
"$root/scripts/demo-install" "$build" "$inst" >"$work/install2.log" 2>&1 || fail "second installation"
grep -q $'^count=1\r$' "$inst/db/Own.ini" || fail "Own.ini replaced"
cmp -s "$inst/qemu/qemu.ini" "$work/qemu.ini" || fail "qemu.ini replaced"
[[ $(grep -c '=Demo' "$inst/db/db.ini") == 1 ]] || fail "Demo listed more than once"

if ((failures > 0)); then
  echo "--- transcript"
  cat "$work/out.txt"
  exit 1
fi
echo "installation test passed"
