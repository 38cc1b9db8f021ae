#!/usr/bin/env bash
# The Windows build on a real console (Wine's, in a tmux pane): "Café Ωmega" typed into
# ADD OS is stored in Own.ini as its UTF-8 bytes, the same as the Linux build stores, and
# the EDIT OS list shows it as typed.
# Needs a running Wine (WINEPREFIX as scripts/test sets it).
# Usage: wine_console_test.sh PATH_TO_QUILLHAVEN_EXE
set -euo pipefail

program=${1:?usage: wine_console_test.sh PATH_TO_QUILLHAVEN_EXE}
work=$(mktemp -d "${TMPDIR:-/tmp}/qh-wine-console-XXXXXX")
socket="$work/tmux.sock"
session=qh

cleanup() {
  tmux -S "$socket" kill-server >/dev/null 2>&1 || true
  if [[ -z "${QH_KEEP_FIXTURES:-}" ]]; then rm -rf "$work"; else echo "fixture kept: $work"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- screen ---"
  tmux -S "$socket" capture-pane -p -t "$session" 2>/dev/null | cat -A || true
  exit 1
}

mkdir -p "$work/inst/db"
cp "$program" "$work/inst/quillhaven.exe"
for tool in updater/updater.exe qemu/qemu.exe kqemu/RUR-Iradu.exe wget/wget.exe; do
  mkdir -p "$work/inst/$(dirname "$tool")"
  : >"$work/inst/$tool"
done
printf '[version]\r\nversion=1\r\n[categories]\r\ncount=1\r\n1=Own\r\n' >"$work/inst/db/db.ini"

tmux -S "$socket" -f /dev/null new-session -d -s "$session" -x 120 -y 50 -c "$work/inst" \
  "wine '$work/inst/quillhaven.exe'; echo '<<ended>>'; sleep 30"

screen() { tmux -S "$socket" capture-pane -p -t "$session"; }

# Waits until the screen shows the pattern (Wine starts slowly on a loaded machine).
wait_for() {
  local tries=600
  while ((tries-- > 0)); do
    screen | grep -q -E -- "$1" && return 0
    sleep 0.1
  done
  return 1
}

# Types a line once the screen shows the pattern of the question it answers.
answer() {
  wait_for "$1" || fail "no '$1' on the screen"
  sleep 0.2
  tmux -S "$socket" send-keys -t "$session" -l "$2"
  tmux -S "$socket" send-keys -t "$session" Enter
}

answer 'Boot virtual HDD' 3                # Options (one category)
answer 'Report a Bug' 2                 # OS Database setup
answer 'Delete OS' 1                    # Add OS
answer ' Name of OS' 'Café Ωmega'
answer ' Version of OS' '1.0'
answer ' name of image' 'cafe.iso'
answer ' full download link' 'http://127.0.0.1:1/cafe.iso'
answer ' For cd/dvd image' 'cdrom'
answer ' cirrus \[default\]' 'std'
answer 'OS was saved' ''
answer 'Report a Bug' 2                 # OS Database setup
answer 'Delete OS' 2                    # Edit OS
wait_for '^  1\) Edit Café Ωmega 1\.0$' || fail "the EDIT OS list does not show the name"
answer 'Go to Options Menu' 0
answer 'Report a Bug' 0
answer 'Boot virtual HDD' 0
wait_for '<<ended>>' || fail "the program did not end"

grep -q -a $'^name=Café Ωmega\r$' "$work/inst/db/Own.ini" ||
  fail "Own.ini does not hold the typed name as UTF-8: $(od -c "$work/inst/db/Own.ini" | head -20)"
echo "wine_console_test: passed"
