# Shared by the scripts in this folder: the packages a Debian machine needs, installed only
# when something is missing.
# shellcheck shell=bash

QH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QH_JOBS=${QH_JOBS:-2}

QH_PACKAGES=(
  cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64
  qemu-utils qemu-system-x86 wget p7zip-full tmux clang libssl-dev openssl
)

# Installs the packages that dpkg does not report as installed.
qh_install_missing() {
  local missing=() package
  for package in "${QH_PACKAGES[@]}"; do
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
