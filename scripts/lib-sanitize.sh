# Shared by scripts/test-sanitize and scripts/fuzz: the compiler for sanitizer builds and
# whether LeakSanitizer works on this machine.
# shellcheck shell=bash

# Prints the probe's verdict and sets QH_LEAKS to 1 when LeakSanitizer works, else 0.
# LeakSanitizer stops the process with ptrace at exit; where ptrace is not allowed (some
# containers, a run under a debugger) it fails every program. A small leaking probe tells:
# it must report its leak, not a fatal error.
qh_probe_leak_sanitizer() {
  local cxx=$1 probe_dir out
  QH_LEAKS=0
  probe_dir=$(mktemp -d)
  printf '#include <cstdlib>\nint main() { void* volatile p = std::malloc(77); p = nullptr; return 0; }\n' \
    >"$probe_dir/probe.cpp"
  if "$cxx" -fsanitize=address -g "$probe_dir/probe.cpp" -o "$probe_dir/probe" 2>/dev/null; then
    out=$(ASAN_OPTIONS=detect_leaks=1 "$probe_dir/probe" 2>&1 || true)
    if grep -q '77 byte(s) leaked' <<<"$out" && ! grep -q 'fatal error' <<<"$out"; then
      QH_LEAKS=1
    fi
  fi
  rm -rf "$probe_dir"
  if ((QH_LEAKS)); then
    echo "== leak detection: on"
  else
    echo "== leak detection: off (LeakSanitizer does not work here)"
  fi
}

# Proves that clang's sanitizer and libFuzzer runtimes are there before anything is built:
# a one-line program with AddressSanitizer and UndefinedBehaviorSanitizer and a one-function
# fuzz target must link and run. Prints one line naming the missing package and fails
# otherwise.
qh_check_sanitizer_runtimes() {
  local cxx=$1 probe_dir status=0
  probe_dir=$(mktemp -d)
  printf 'int main() { return 0; }\n' >"$probe_dir/asan.cpp"
  printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n' \
    >"$probe_dir/fuzz.cpp"
  if ! "$cxx" -fsanitize=address,undefined "$probe_dir/asan.cpp" -o "$probe_dir/asan" \
    >"$probe_dir/log" 2>&1 || ! ASAN_OPTIONS=detect_leaks=0 "$probe_dir/asan" >>"$probe_dir/log" 2>&1; then
    echo "the sanitizer runtime does not link with $cxx: install libclang-rt-14-dev (scripts/lib.sh names it)"
    status=1
  elif ! "$cxx" -fsanitize=fuzzer "$probe_dir/fuzz.cpp" -o "$probe_dir/fuzz" >"$probe_dir/log" 2>&1 ||
    ! ASAN_OPTIONS=detect_leaks=0 "$probe_dir/fuzz" -runs=1 >>"$probe_dir/log" 2>&1; then
    echo "the libFuzzer runtime does not link with $cxx: install libclang-rt-14-dev (scripts/lib.sh names it)"
    status=1
  fi
  rm -rf "$probe_dir"
  return "$status"
}
