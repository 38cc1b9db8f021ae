#!/usr/bin/env bash
# The console under a real terminal: a refused answer in the main menu leaves
# " [Err] Wrong choice" two rows below the prompt, and the new " > " is drawn on the row of
# the old one (the answer typed there is gone); an OS name with an escape sequence and a BEL
# shows them as "?" on the screen and in the window title; answers typed before the first
# prompt are all read, in order.
# Given the Windows build (quillhaven.exe, with Wine running as scripts/test starts it), the
# test runs it on Wine's console instead, installed in a folder whose name is outside every
# ANSI code page ("Quill Ωmega"): "Café Ωmega" typed into ADD OS is stored in Own.ini as its
# UTF-8 bytes, as the Linux build stores it, and the EDIT OS list shows it as typed; CTRL + Z
# is dropped by Wine's console (no end of input there); downloading the entry, the fake
# tool as wget reads the wgetrc that WGETRC names, then sends CTRL + C to the console and
# ends with 0 as a console child under Wine does: the download is a stopped one and its part
# stays in images\temp.
# Usage: pty_test.sh PATH_TO_QUILLHAVEN[.exe]
set -euo pipefail
# The terminal is a UTF-8 one whatever the caller's locale (a fresh machine may set none):
# tmux draws, and Wine encodes its console's output, by the locale.
export LC_ALL=C.UTF-8

program=${1:?usage: pty_test.sh PATH_TO_QUILLHAVEN[.exe]}
work=$(mktemp -d "${TMPDIR:-/tmp}/qh-pty-XXXXXX")
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

# A small installation of its own, started from another folder. The start-up self-check only
# looks for the tools, so empty files stand in for them; an updater counts only when it
# could start (not empty, executable).
inst="$work/inst"
if [[ "$program" == *.exe ]]; then inst="$work/Quill Ωmega"; fi
mkdir -p "$inst/db" "$work/elsewhere"
cp "$program" "$inst/"
for tool in updater/updater.exe qemu/qemu.exe kqemu/RUR-Iradu.exe wget/wget.exe 7z/7za.exe; do
  mkdir -p "$inst/$(dirname "$tool")"
  : >"$inst/$tool"
done
printf '#!/bin/sh\n' >"$inst/updater/updater.exe"
chmod +x "$inst/updater/updater.exe"
printf '[version]\r\nversion=1\r\n[categories]\r\ncount=3\r\n1=Linux\r\n2=BSD\r\n3=Own\r\n' \
  > "$inst/db/db.ini"
# One OS whose image is missing, so choosing it shows its box and title and asks.
printf '[main]\r\ncount=1\r\n[1]\r\nname=Evil\033]0;pwned\007OS\r\nversion=1\r\n' \
  > "$inst/db/Linux.ini"
printf 'download=http://127.0.0.1:1/e.iso\r\nfilename=e.iso\r\nostype=cdrom\r\n' \
  >> "$inst/db/Linux.ini"

screen() { tmux -S "$socket" capture-pane -p -t "$session"; }

# Starts the terminal session. A tmux server can end while it starts on a loaded machine
# ("server exited unexpectedly"), before the program under test ran at all: that start is
# tried again, up to three times; any other failure ends the test.
start_session() {
  local try out
  for try in 1 2 3; do
    if out=$(tmux -S "$socket" -f /dev/null new-session -d -s "$session" "$@" 2>&1); then
      return 0
    fi
    echo "tmux did not start (try $try): $out"
    tmux -S "$socket" kill-server >/dev/null 2>&1 || true
    [[ "$out" == *"server exited unexpectedly"* ]] || break
    sleep 1
  done
  fail "no terminal session"
}

# Waits until a line of the screen matches the pattern; prints its 0-based row.
wait_for_row() {
  local pattern=$1 tries=${tries:-100} row
  while ((tries-- > 0)); do
    row=$(screen | grep -n -E -- "$pattern" | tail -n 1 | cut -d: -f1 || true)
    if [[ -n "$row" ]]; then
      echo $((row - 1))
      return 0
    fi
    sleep 0.1
  done
  return 1
}

row_text() { screen | sed -n "$(($1 + 1))p"; }

# Types a line once the screen shows the question it answers.
answer() {
  wait_for_row "$1" >/dev/null || fail "no '$1' on the screen"
  sleep 0.2
  tmux -S "$socket" send-keys -t "$session" -l "$2"
  tmux -S "$socket" send-keys -t "$session" Enter
}

if [[ "$program" == *.exe ]]; then
  # The fake tool (built beside the program) as wget; it is an ANSI program, as wget is.
  cp "$(dirname "$program")/fake_tool.exe" "$inst/wget/wget.exe"
  printf 'tries = 1\n' >"$inst/wget/wgetrc"
  printf '%s\n' 'envfile WGETRC wgetrc-read.txt' 'append images\temp\$LAST half' \
    'interrupt-others' 'exit 0' >"$inst/wget/wget.exe.act"
  tries=600  # Wine starts slowly on a loaded machine
  start_session -x 120 -y 50 -c "$inst" \
    "wine '$inst/quillhaven.exe'; echo '<<ended>>'; sleep 30"
  answer 'Boot virtual HDD' 5 # Options
  answer 'Report a Bug' 2     # OS Database setup
  answer 'Delete OS' 1        # Add OS
  answer '^ >$' 'Café Ωmega'
  # CTRL + Z at the start of the line and within it: Wine's console drops it.
  wait_for_row 'Version of OS' >/dev/null || fail "no version field"
  sleep 0.2
  tmux -S "$socket" send-keys -t "$session" C-z
  tmux -S "$socket" send-keys -t "$session" -l '1.'
  tmux -S "$socket" send-keys -t "$session" C-z
  tmux -S "$socket" send-keys -t "$session" -l '0'
  tmux -S "$socket" send-keys -t "$session" Enter
  wait_for_row 'name of image' >/dev/null || fail "CTRL + Z ended the input"
  for field in cafe.iso http://127.0.0.1:1/cafe.iso cdrom std; do
    answer '^ >$' "$field"
  done
  answer 'OS was saved' ''
  answer 'Report a Bug' 2 # OS Database setup
  answer 'Delete OS' 2    # Edit OS
  wait_for_row '^  1\) Edit Café Ωmega 1\.0$' >/dev/null || fail "EDIT OS does not list the name"
  answer 'Go to Options Menu' 0
  answer 'Report a Bug' 0
  answer 'Boot virtual HDD' 4 # Own
  answer 'Main Menu' 1
  answer 'Download and run' 1
  wait_for_row '^ \* ERROR download failed: stopped by the user$' >/dev/null ||
    fail "the download stopped by CTRL + C was not reported as such"
  answer 'Press <Enter> to continue' ''
  answer 'Boot virtual HDD' 0
  wait_for_row '<<ended>>' >/dev/null || fail "the program did not end"
  grep -q -a $'^name=Café Ωmega\r$' "$inst/db/Own.ini" ||
    fail "Own.ini does not hold the name as UTF-8: $(od -c "$inst/db/Own.ini" | head)"
  grep -q -a $'^version=1.0\r$' "$inst/db/Own.ini" ||
    fail "CTRL + Z was not dropped: $(od -c "$inst/db/Own.ini" | head)"
  [[ "$(cat "$inst/wgetrc-read.txt" 2>/dev/null)" == "tries = 1" ]] ||
    fail "wget did not read the wgetrc: $(cat "$inst/wgetrc-read.txt" 2>/dev/null)"
  [[ "$(cat "$inst/images/temp/cafe.iso" 2>/dev/null)" == half && ! -e "$inst/images/cafe.iso" ]] ||
    fail "the stopped download's part did not stay in images/temp"
  echo "pty_test (Wine console): passed"
  exit 0
fi

start_session -x 100 -y 50 \
  -c "$work/elsewhere" "$inst/quillhaven; echo '<<ended>>'; sleep 30"

exit_row=$(wait_for_row '^  0\) Exit$') || fail "the main menu did not appear"
prompt_row=$(wait_for_row '^ >$') || fail "no prompt below the main menu"
((prompt_row == exit_row + 2)) || fail "prompt on row $prompt_row, expected $((exit_row + 2))"

tmux -S "$socket" send-keys -t "$session" "9" Enter
error_row=$(wait_for_row '^ \[Err\] Wrong choice') || fail "no wrong-choice message"

((error_row == prompt_row + 2)) ||
  fail "error on row $error_row, expected two rows below the prompt row $prompt_row"
# The old prompt with the typed 9 was cleared and the new prompt drawn on its row.
sleep 0.3
[[ "$(row_text "$prompt_row")" == " >" ]] ||
  fail "row $prompt_row holds '$(row_text "$prompt_row")', expected the new prompt ' >'"
[[ -z "$(row_text $((prompt_row + 1)))" ]] || fail "row $((prompt_row + 1)) is not empty"
[[ "$(row_text "$error_row")" == " [Err] Wrong choice" ]] ||
  fail "row $error_row holds '$(row_text "$error_row")'"
cursor=$(tmux -S "$socket" display-message -p -t "$session" '#{cursor_y} #{cursor_x}')
[[ "$cursor" == "$prompt_row 3" ]] || fail "cursor at '$cursor', expected '$prompt_row 3'"

# The OS's box and the window title show the escape and the BEL as "?".
tmux -S "$socket" send-keys -t "$session" "2" Enter
wait_for_row '^  1\) Evil\?\]0;pwned\?OS 1$' >/dev/null || fail "the OS list does not show '?'"
tmux -S "$socket" send-keys -t "$session" "1" Enter
wait_for_row '^ \|  +Evil\?\]0;pwned\?OS 1  +\|$' >/dev/null || fail "the OS box does not show '?'"
title=$(tmux -S "$socket" display-message -p -t "$session" '#{pane_title}')
[[ "$title" == "Quillhaven - Evil?]0;pwned?OS" ]] || fail "window title '$title'"
tmux -S "$socket" send-keys -t "$session" "0" Enter
wait_for_row '^  0\) Exit$' >/dev/null || fail "no main menu after the OS box"

# 0 leaves the program.
tmux -S "$socket" send-keys -t "$session" "0" Enter
wait_for_row '^<<ended>>$' >/dev/null || fail "the program did not end after 0"

# Type-ahead: a wrong answer and 0, typed before the first prompt, end the program. The
# terminal (tmux) answers any query as a real terminal does.
tmux -S "$socket" kill-session -t "$session"
start_session -x 100 -y 50 -c "$work/elsewhere" \
  "sleep 0.5; $work/inst/quillhaven; echo '<<ended>>'; sleep 30"
tmux -S "$socket" send-keys -t "$session" "9" Enter "0" Enter
# The echo of the typed answers came before the screen was drawn, so the end may share the
# row of the last prompt.
wait_for_row '<<ended>>$' >/dev/null || fail "answers typed ahead were lost"
wait_for_row '^ \[Err\] Wrong choice' >/dev/null || fail "the typed-ahead 9 was not refused"

echo "pty_test: passed"
