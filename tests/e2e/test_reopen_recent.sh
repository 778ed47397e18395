#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A user's day across three starts: files picked from Recent Files, the window closed, the files
# back at the next start in their order, one closed, and what the settings file keeps.
# Usage: test_reopen_recent.sh <path of the marquill program>
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${MARQUILL_E2E_DISPLAY:-}" ]; then
    export MARQUILL_E2E_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config HOME=$work/home
mkdir -p "$XDG_CONFIG_HOME" "$HOME"
unset QT_QPA_PLATFORM
ini=$XDG_CONFIG_HOME/Vortlane.ini
a=$work/a.txt
b=$work/b.txt
printf 'alpha\n' > "$a"
printf 'beta\n' > "$b"

fail() { echo "FAIL: $*" >&2; [ -f "$ini" ] && cat "$ini" >&2; exit 1; }
value() { sed -n "s/^$1=//p" "$ini"; }

pid=
window=
start() {
    "$program" &
    pid=$!
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name '^Marquill$' 2>/dev/null | head -1) && [ -n "$window" ] && return 0
        sleep 0.1
    done
    fail "the window did not appear"
}
# Clicks a command button at its centre; twips from the window's client area, 15 a pixel.
click() { xdotool mousemove --window "$window" $(( $1 / 15 )) $(( $2 / 15 )) click 1; }
visible_windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }
wait_windows() {
    for _ in $(seq 100); do
        [ "$(visible_windows)" -eq "$1" ] && return 0
        sleep 0.1
    done
    fail "expected $1 visible window(s) of the program"
}
# Opens the Recent Files popup and picks its item number $1 (from 1) with the keyboard.
pick_recent() {
    click 4500 322
    wait_windows 2
    local keys=()
    for _ in $(seq "$1"); do keys+=(Down); done
    xdotool key "${keys[@]}" Return
    wait_windows 1
}
close_button() { click 7500 832; }
quit() {
    python3 "$here/wm_delete.py" "$window"
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid"; return 0; }
        sleep 0.1
    done
    kill "$pid"
    fail "the program did not end when its window was closed"
}

# First start: the recent list comes from the settings file; pick a, then b.
printf '[Marquill]\nRecentFiles=%s|%s|\n' "$a" "$b" > "$ini"
start
pick_recent 2 # b is listed first, a second
pick_recent 1
quit
[ "$(value OpenFiles)" = "$a|$b|" ] || fail "first run: OpenFiles should hold a then b"
[ "$(value RecentFiles)" = "$a|$b|" ] || fail "first run: picking must leave the recent list"

# Second start: a and b come back in that order with b selected, so Close closes b.
start
close_button
quit
[ "$(value OpenFiles)" = "$a|" ] || fail "second run: after closing the selected b only a stays open"
[ "$(value RecentFiles)" = "$a|$b|" ] || fail "second run: b is the most recent file"

# Third start: a alone comes back; once a is gone too, the next start has nothing to reopen.
start
close_button
quit
[ "$(value OpenFiles)" = "" ] || fail "third run: the untitled document left is not recorded"
[ "$(value RecentFiles)" = "$b|$a|" ] || fail "third run: a is now the most recent file"
echo "PASS"
