#!/usr/bin/env bash
# The installed program in a real terminal: a tmux pane of fixed size, with
# the system's own clear(1) and date(1). Types entries as a user would and
# reads the screen back.
#
#   tests/terminal/tmux_test.sh <dir holding the installed cosmic-distances>
#
# Checks that start-up clears the screen and shows the date, that every
# prompt is on the screen (cursor just after it) while the program waits,
# that a conversion is answered, and that choice 0 and Ctrl-D end the program
# with status 255 and 0. Every wait is bounded: a prompt that never shows
# fails the test after a generous limit instead of hanging it.
#
# The exit status is written to a file by the shell that started the
# program: tmux itself does not always learn a pane's status.
set -euo pipefail

bindir=$(cd "${1:?usage: $0 <bindir>}" && pwd)
[ -x "$bindir/cosmic-distances" ] || { echo "no cosmic-distances in $bindir" >&2; exit 1; }
for tool in tmux clear date; do
  command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 1; }
done

limit=30  # seconds any one screen state may take to appear
socket=cosmic-terminal-test-$$
work=$(mktemp -d)
tm() { tmux -L "$socket" -f /dev/null "$@"; }
cleanup() {
  tm kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
pass() { echo "ok: $*"; }
fail() {
  echo "FAILED: $*" >&2
  echo "--- screen of ${pane:-?} ---" >&2
  tm capture-pane -p -t "$pane" >&2 || true
  echo "---" >&2
  failures=$((failures + 1))
}
die() {
  fail "$@"
  exit 1
}

# A clean, fixed environment: the installed program first on PATH, then the
# system's clear and date; the C locale, so date's line has a known form.
shell_env=(env -i "PATH=$bindir:/usr/local/bin:/usr/bin:/bin" TERM=xterm-256color LC_ALL=C
  "HOME=$work" "PS1=$ ")

screen=()   # the visible lines of the pane
history=()  # everything the pane has shown since the last clear, screen included
cursor_x=0 cursor_y=0

# Reads the pane's whole state in one server round, so that the screen and
# the cursor belong together.
snapshot() {
  local raw
  raw=$(tm capture-pane -p -t "$pane" -S - \; display -p -t "$pane" \
    '#{history_size} #{pane_height} #{cursor_x} #{cursor_y}')
  mapfile -t history <<<"$raw"
  local info=${history[-1]}
  unset 'history[-1]'
  local history_size height
  read -r history_size height cursor_x cursor_y <<<"$info"
  screen=("${history[@]:history_size:height}")
}

# The program's exit status once its shell has recorded it, else nothing.
status=""
read_status() {
  status=""
  [ -f "$status_file" ] && status=$(cat "$status_file")
  [[ $status =~ ^[0-9]+$ ]] || status=""
}

# How many lines of the pane's history begin with $1 (a prompt line keeps
# its prompt when the typed entry is echoed after it).
count_lines() {
  local n=0 line
  for line in "${history[@]}"; do [[ $line == "$1"* ]] && n=$((n + 1)); done
  echo "$n"
}

on_screen() {  # a whole line of the visible screen equals $1
  local line
  for line in "${screen[@]}"; do [ "$line" = "$1" ] && return 0; done
  return 1
}

# Waits until prompt $1 is shown for the $2-th time since start-up, the
# cursor just after it, the program still running: it is waiting for input.
wait_prompt() {
  local prompt=$1 nth=$2 deadline=$((SECONDS + limit))
  while :; do
    snapshot
    read_status
    [ -z "$status" ] || die "the program ended (status $status) instead of asking '$prompt'"
    # capture-pane drops trailing blanks: the prompt's final space is only
    # seen in the cursor's column.
    if [ "$(count_lines "${prompt% }")" -ge "$nth" ] &&
      [ "${screen[cursor_y]}" = "${prompt% }" ] && [ "$cursor_x" -eq "${#prompt}" ]; then
      return 0
    fi
    [ $SECONDS -lt $deadline ] || die "no prompt '$prompt' (#$nth) within ${limit}s"
    sleep 0.1
  done
}

# Waits until the pane's program has ended and its status is known.
wait_exit() {
  local deadline=$((SECONDS + limit))
  while :; do
    read_status
    [ -n "$status" ] && return 0
    [ $SECONDS -lt $deadline ] || die "the program did not end within ${limit}s"
    sleep 0.1
  done
}

type_entry() { tm send-keys -t "$pane" -l "$1" \; send-keys -t "$pane" Enter; }

MENU='Please select an item from the menu:\> '
UNIT='Your selection:\> '
YEARS='How many lightyears would you like to convert to km?:\> '
STARS='******************************************************'

# --- one session from a shell: start-up, a conversion, choice 0 ----------
tm new-session -d -s cosmic -x 100 -y 40 "${shell_env[*]@Q} sh"
pane=cosmic:0.0
status_file=$work/status-0

# Something on the screen before the program starts, for clear to remove.
marker="left-on-screen-before-start-$$"
wait_shell() {
  local deadline=$((SECONDS + limit))
  until snapshot && [ "${screen[cursor_y]}" = '$' ] && [ "$cursor_x" -eq 2 ] && "$@"; do
    [ $SECONDS -lt $deadline ] || die "the pane's shell did not come to its prompt"
    sleep 0.1
  done
}
wait_shell true
tm send-keys -t "$pane" "echo $marker" Enter
wait_shell on_screen "$marker"

year_before=$(date +%Y)
tm send-keys -t "$pane" "cosmic-distances; echo \$? >$status_file" Enter
wait_prompt "$MENU" 1
year_after=$(date +%Y)

if printf '%s\n' "${screen[@]}" | grep -q -- "$marker"; then
  fail "clear left the shell's earlier lines on the screen"
else
  pass "clear emptied the screen before the banner"
fi
if [ "${screen[0]}" = "$STARS" ] && [ "${screen[4]}" = "$STARS" ] &&
  [ "${screen[1]}" = "* This program is meant to analyze distances to      *" ]; then
  pass "the banner stands at the top of the screen"
else
  fail "the banner is not at the top of the screen"
fi
# date(1) in the C locale: "Tue Dec  8 02:53:00 UTC 2026".
date_line=${screen[5]}
if [[ $date_line =~ ^[A-Z][a-z]{2}\ [A-Z][a-z]{2}\ [\ 0-9][0-9]\ [0-9]{2}:[0-9]{2}:[0-9]{2}\ .*\ ([0-9]{4})$ ]] &&
  { [ "${BASH_REMATCH[1]}" = "$year_before" ] || [ "${BASH_REMATCH[1]}" = "$year_after" ]; }; then
  pass "date printed today's date: $date_line"
else
  fail "no date line under the banner (found '$date_line')"
fi
pass "main menu prompt shown while waiting"

type_entry 3
wait_prompt "$MENU" 2
on_screen "LIGHTDISTANCES" || fail "the light-distance menu is not shown"
pass "light-distance menu prompt shown while waiting"

type_entry 1
wait_prompt "$UNIT" 1
pass "unit prompt shown while waiting"

type_entry 7
wait_prompt "$YEARS" 1
pass "amount prompt shown while waiting"

type_entry 4.3
wait_prompt "$MENU" 3
if on_screen "4.3 lightyears are 4.06803e+13 km."; then
  pass "4.3 light years converted"
else
  fail "no answer to 4.3 light years"
fi

# A non-number is complained about and the same question comes again.
type_entry abc
wait_prompt "$MENU" 4
on_screen "incorrect entry!" && pass "a non-number is complained about" ||
  fail "no complaint about a non-number"

type_entry 0
wait_exit
[ "$status" = 255 ] && pass "choice 0 ends the program with status 255" ||
  fail "choice 0 gave status '$status', not 255"

# --- Ctrl-D at a prompt: the end of input, status 0 ------------------------
status_file=$work/status-1
tm new-window -d -t cosmic:1 "${shell_env[*]@Q} sh -c 'cosmic-distances; echo \$? >$status_file'" \; \
  set-option -w -t cosmic:1 remain-on-exit on
pane=cosmic:1.0
wait_prompt "$MENU" 1
tm send-keys -t "$pane" C-d
wait_exit
if [ "$status" = 0 ]; then
  pass "Ctrl-D ends the program with status 0"
else
  fail "Ctrl-D gave status '$status', not 0"
fi

if [ "$failures" -ne 0 ]; then
  echo "terminal test: $failures check(s) failed" >&2
  exit 1
fi
echo "terminal test passed"
