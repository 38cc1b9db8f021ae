# Shared by the scripts in this folder: the packages a Debian machine needs, installed only
# when something is missing.
# shellcheck shell=bash

QH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QH_JOBS=${QH_JOBS:-2}

# Installed with --no-install-recommends, so every package a script or test uses is named
# here, also those that another package only recommends.
# What building and running the program need (scripts/run); ovmf is the UEFI firmware:
QH_RUN_PACKAGES=(
  cmake ninja-build g++ libssl-dev qemu-utils qemu-system-x86 ovmf wget p7zip-full
)
# What the tests add (scripts/test): the test libraries, the Windows cross compiler and
# Wine, tmux for the terminal test, clang with its sanitizer and libFuzzer runtimes
# (libclang-rt-14-dev, only a recommendation of clang's own headers package), python3 for
# the web servers of the end-to-end tests, and openssl for the test keys and signatures
# (and the release tool's).
QH_TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64
  tmux clang libclang-rt-14-dev python3 openssl
)
QH_PACKAGES=("${QH_RUN_PACKAGES[@]}" "${QH_TEST_PACKAGES[@]}")

# Installs those of the named packages (all of QH_PACKAGES when none is named) that dpkg
# does not report as installed.
qh_install_missing() {
  local missing=() package wanted=("$@")
  if ((${#wanted[@]} == 0)); then wanted=("${QH_PACKAGES[@]}"); fi
  for package in "${wanted[@]}"; do
    if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed'; then
      missing+=("$package")
    fi
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  echo "== installing: ${missing[*]}"
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures (once) and builds the Linux tree in build/.
qh_build_linux() {
  cmake -S "$QH_ROOT" -B "$QH_ROOT/build" -G Ninja "$@"
  cmake --build "$QH_ROOT/build" -j "$QH_JOBS"
}
