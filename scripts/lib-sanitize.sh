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
