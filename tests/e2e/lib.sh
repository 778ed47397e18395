# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end tests: the real program in a real X server (Xvfb), driven by xdotool.
# A test script sources this file with the path of the program as its first argument:
#   source "$(dirname "$0")/lib.sh" "$1"
# Every process started here is stopped when the script exits; every wait has a time limit.

set -euo pipefail

MARQUILL=${1:?usage: $0 PATH-TO-MARQUILL}
MARQUILL=$(readlink -f "$MARQUILL")
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_NAME=$(basename "$0" .sh)
# Screenshots and logs stay after the test, in the folder the test runs in (the build folder).
ARTIFACTS=${E2E_ARTIFACTS:-$PWD/e2e-artifacts/$E2E_NAME}
mkdir -p "$ARTIFACTS"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/marquill-e2e.XXXXXX")
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config XDG_STATE_HOME=$WORK/state
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The test build is sanitized; leaks at exit are not what these tests look for.
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
# The program speaks English here whatever the calling session speaks (a test that wants another
# language sets LANG for its own start).
unset LC_ALL LC_MESSAGES LANGUAGE
export LANG=C.UTF-8
# The program must run on X11 whatever the calling session uses.
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

BACKGROUND_PIDS=()
XVFB_PID=
MARQUILL_PID=
MARQUILL_WINDOW=
MARQUILL_LOG=$ARTIFACTS/marquill.log

log() { echo "[$E2E_NAME] $*" >&2; }

fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    exit 1
}

cleanup() {
    local status=$?
    local pid
    for pid in "${BACKGROUND_PIDS[@]}" $MARQUILL_PID; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${BACKGROUND_PIDS[@]}" $MARQUILL_PID; do
        # Give each process a moment, then make sure it is gone.
        timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
    done
    if [ -n "$XVFB_PID" ]; then
        kill -TERM "$XVFB_PID" 2>/dev/null || true
        timeout 5 tail --pid="$XVFB_PID" -f /dev/null 2>/dev/null || kill -KILL "$XVFB_PID" 2>/dev/null || true
    fi
    if [ "$status" -ne 0 ] && [ -s "$MARQUILL_LOG" ]; then
        echo "--- program output ($MARQUILL_LOG) ---" >&2
        tail -n 40 "$MARQUILL_LOG" >&2
    fi
    rm -rf "$WORK"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Runs a command in the background and remembers it for the clean-up.
spawn() {
    "$@" &
    BACKGROUND_PIDS+=($!)
}

# Polls a command until it succeeds; fails the test after the given number of seconds.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || fail "timed out after ${seconds}s waiting for $what"
        sleep 0.1
    done
}

# Starts an X server on a free display (the server picks it) and waits until it answers.
start_xvfb() {
    local fifo=$WORK/displayfd
    : >"$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" 2>"$ARTIFACTS/xvfb.log" &
    XVFB_PID=$!
    wait_for 20 "Xvfb to name its display" test -s "$fifo"
    export DISPLAY=":$(head -n1 "$fifo" | tr -d '[:space:]')"
    wait_for 20 "the display $DISPLAY" xdpyinfo
    unset XAUTHORITY
    log "X server on $DISPLAY"
}

# Starts the program and waits for its main window, found by its caption.
start_marquill() {
    "$MARQUILL" >"$MARQUILL_LOG" 2>&1 &
    MARQUILL_PID=$!
    MARQUILL_WINDOW=$(find_window 30 '^Marquill$') || fail "no window with the caption Marquill"
    # The window takes the keyboard: there is no window manager to give it.
    focus_window "$MARQUILL_WINDOW"
    log "Marquill runs as process $MARQUILL_PID, window $MARQUILL_WINDOW"
}

# Ends the program (without its close request) and forgets its window.
stop_marquill() {
    [ -n "$MARQUILL_PID" ] || return 0
    check_sanitizers
    kill -TERM "$MARQUILL_PID" 2>/dev/null || true
    timeout 10 tail --pid="$MARQUILL_PID" -f /dev/null 2>/dev/null || kill -KILL "$MARQUILL_PID" 2>/dev/null || true
    wait "$MARQUILL_PID" 2>/dev/null || true
    MARQUILL_PID=
    MARQUILL_WINDOW=
    # A later start writes its own log; keep this one.
    mv "$MARQUILL_LOG" "$MARQUILL_LOG.$(date +%s%N)" 2>/dev/null || true
    # Ended without its close request, the run left drafts of unsaved text that the next start
    # would offer; the tests start afresh.
    rm -rf "$XDG_STATE_HOME/marquill"
}

# Prints the id of the first window whose caption matches, waiting up to the given seconds.
find_window() {
    local seconds=$1 pattern=$2
    timeout "$seconds" xdotool search --sync --onlyvisible --name "$pattern" 2>/dev/null | head -n1
}

# True when a visible window with that caption exists now.
window_exists() {
    [ -n "$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null || true)" ]
}

focus_window() {
    timeout 10 xdotool windowfocus --sync "$1" || fail "cannot focus window $1"
}

marquill_running() {
    kill -0 "$MARQUILL_PID" 2>/dev/null
}

assert_running() {
    marquill_running || fail "Marquill is no longer running ($*)"
}

# Width and height of a window's client area, as "WIDTHxHEIGHT".
window_size() {
    local info
    info=$(timeout 5 xwininfo -id "$1") || fail "xwininfo failed for $1"
    echo "$(awk '/^ *Width:/ {print $2}' <<<"$info")x$(awk '/^ *Height:/ {print $2}' <<<"$info")"
}

# Twips to pixels at 96 DPI, as the program lays out its window.
twips() { echo $(((${1} + 7) / 15)); }

# Command buttons: caption, left, top and width in twips (all are 405 twips high).
declare -A BUTTON_LEFT BUTTON_TOP BUTTON_WIDTH
while IFS='|' read -r caption left top width; do
    BUTTON_LEFT[$caption]=$left
    BUTTON_TOP[$caption]=$top
    BUTTON_WIDTH[$caption]=$width
done <<'EOF'
New (Ctrl+N)|120|120|1560
Open (Ctrl+O)|1800|120|1800
Recent Files|3720|120|1560
Save (Ctrl+S)|5400|120|1560
Save As (Ctrl+A)|7080|120|1920
Save All|9120|120|1080
Undo (Ctrl+Z)|120|630|1560
Redo|1800|630|840
Find|2760|630|1080
Find Next|3960|630|1200
Select All|5280|630|1200
Close (Ctrl+W)|6600|630|1800
Close All|8520|630|1320
EOF

# Clicks the middle of a command button, given by its caption.
click_button() {
    local caption=$1
    [ -n "${BUTTON_LEFT[$caption]:-}" ] || fail "no button captioned '$caption'"
    local x y
    x=$(twips $((BUTTON_LEFT[$caption] + BUTTON_WIDTH[$caption] / 2)))
    y=$(twips $((BUTTON_TOP[$caption] + 405 / 2)))
    timeout 10 xdotool mousemove --window "$MARQUILL_WINDOW" --sync "$x" "$y" click 1 ||
        fail "cannot click '$caption'"
    settle
}

# Types text into whatever window has the keyboard.
type_text() {
    timeout 20 xdotool type --delay 20 -- "$1" || fail "cannot type '$1'"
    settle
}

# Presses a key combination (xdotool's names: ctrl+s, ctrl+shift+s) on the focused window.
press_keys() {
    timeout 10 xdotool key --clearmodifiers "$@" || fail "cannot press $*"
    settle
}

# Lets the program take what was sent to it.
settle() { sleep "${1:-0.3}"; }

# Saves a picture of the whole screen under the artifacts folder and prints its path.
screenshot() {
    local file=$ARTIFACTS/$1.png
    timeout 20 import -window root "$file" || fail "cannot take the screenshot $file"
    echo "$file"
}

# Saves a picture of part of Marquill's window (pixels from its top left) and prints its path.
window_crop() {
    local name=$1 x=$2 y=$3 w=$4 h=$5 file
    file=$ARTIFACTS/$1.png
    timeout 20 import -window "$MARQUILL_WINDOW" -crop "${w}x${h}+${x}+${y}" +repage "$file" ||
        fail "cannot take the picture $file"
    echo "$file"
}

# Number of pixels that differ between two pictures of the same size.
pixels_differing() {
    local out
    # compare prints the count on stderr and exits 1 when the pictures differ.
    out=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
    echo "${out%% *}"
}

# Fails when the sanitizers reported something in the program's output.
check_sanitizers() {
    if grep -qE 'ERROR: AddressSanitizer|runtime error:' "$MARQUILL_LOG"; then
        fail "the sanitizers reported an error; see $MARQUILL_LOG"
    fi
}

# A small window of another program, which takes the keyboard from Marquill.
start_other_client() {
    spawn xmessage -name other -title "Other program" "Another program has the keyboard" 2>/dev/null
    OTHER_WINDOW=$(find_window 20 '^Other program$') || fail "the other program shows no window"
    focus_window "$OTHER_WINDOW"
}

# The window that has the keyboard.
focused_window() {
    timeout 5 xdotool getwindowfocus
}

# The path of the helper that grabs keys as another program would (built with the tests, or here).
grabkey_path() {
    local tool=${MARQUILL_GRABKEY:-}
    if [ -z "$tool" ] || [ ! -x "$tool" ]; then
        tool=$WORK/grabkey
        [ -x "$tool" ] || cc -o "$tool" "$E2E_DIR/grabkey.c" -lxcb -lxcb-keysyms || fail "cannot build grabkey"
    fi
    echo "$tool"
}

# Another program that holds Ctrl+LETTER before Marquill starts. Its presses go to GRABKEY_OUT.
hold_shortcut() {
    local letter=$1 tool
    tool=$(grabkey_path)
    GRABKEY_OUT=$WORK/grabkey-$letter.out
    spawn "$tool" "$letter" >"$GRABKEY_OUT"
    wait_for 10 "grabkey to hold Ctrl+$letter" grep -q '^grabbed$' "$GRABKEY_OUT"
}

# Marquill takes its shortcuts on the first tick of its timer, 10 ms after start-up. (Probing
# the grab from here could take it away from the program at the wrong moment.)
wait_for_shortcuts() { settle 1; }

# Polls a picture of part of the window until it matches a reference picture.
wait_for_picture() {
    local reference=$1 name=$2 message=$3 seconds=${4:-5} current differing
    local deadline=$((SECONDS + seconds))
    while :; do
        current=$(window_crop "$name" "${@:5}")
        differing=$(pixels_differing "$reference" "$current")
        [ "$differing" = 0 ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || fail "$message ($differing pixels differ between $(basename "$reference") and $name.png)"
        sleep 0.2
    done
}

# Polls a picture of part of the window until it differs from a reference picture.
wait_for_change() {
    local reference=$1 name=$2 message=$3 seconds=${4:-5} current
    local deadline=$((SECONDS + seconds))
    while :; do
        current=$(window_crop "$name" "${@:5}")
        [ "$(pixels_differing "$reference" "$current")" != 0 ] && return 0
        [ "$SECONDS" -lt "$deadline" ] || fail "$message"
        sleep 0.2
    done
}

# Settings as the program finds them at start (its INI file in the configuration folder).
write_settings() {
    printf '%s\n' "$@" >"$XDG_CONFIG_HOME/Vortlane.ini"
}

# --- Dialogs of the program and files on disk ---

# Waits until the file holds exactly the bytes of a printf format; shows both and fails after 5 s.
wait_for_bytes() {
    local file=$1 format=$2 what=$3
    printf "$format" >"$WORK/expected"
    # A save happens within the click; the short poll only covers the file system.
    local deadline=$((SECONDS + 5))
    until cmp -s "$WORK/expected" "$file"; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "expected:" >&2
            od -c "$WORK/expected" >&2
            echo "found:" >&2
            od -c "$file" >&2 || true
            fail "$what"
        fi
        sleep 0.1
    done
}

# Waits for the dialog with exactly that caption and gives it the keyboard; prints its id.
dialog_window() {
    local caption=$1 pattern id
    pattern="^$(sed 's/[][\.*^$]/\\&/g' <<<"$caption")\$"
    id=$(find_window 10 "$pattern") || true
    [ -n "$id" ] || fail "no dialog captioned '$caption' appeared"
    local actual
    actual=$(timeout 5 xdotool getwindowname "$id") || fail "cannot read the caption of window $id"
    [ "$actual" = "$caption" ] || fail "the dialog is captioned '$actual', not '$caption'"
    focus_window "$id"
    echo "$id"
}

# Waits until the window is no longer on the screen (unmapped or destroyed).
window_gone() {
    local deadline=$((SECONDS + 10))
    while timeout 5 xwininfo -id "$1" 2>/dev/null | grep 'Map State: IsViewable' >/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the window $1 did not close"
        sleep 0.1
    done
}

# Prints the id of a visible window of the program, other than its main window, whose caption
# matches; waits up to the given seconds.
other_window() {
    local seconds=$1 pattern=$2 id
    local deadline=$((SECONDS + seconds))
    while :; do
        id=$(timeout 5 xdotool search --onlyvisible --pid "$MARQUILL_PID" --name "$pattern" 2>/dev/null |
            grep -vx "$MARQUILL_WINDOW" | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Types a path into the file dialog's name field (it has the keyboard when the dialog opens) and
# accepts it.
choose_path() {
    local window=$1 path=$2
    type_text "$path"
    press_keys Return
    window_gone "$window"
    focus_window "$MARQUILL_WINDOW"
}

# Another program's window that has the keyboard and logs each key that reaches it to KEYWINDOW_OUT.
start_key_window() {
    local tool=${MARQUILL_KEYWINDOW:-}
    if [ -z "$tool" ] || [ ! -x "$tool" ]; then
        tool=$WORK/keywindow
        [ -x "$tool" ] || cc -o "$tool" "$E2E_DIR/keywindow.c" -lxcb -lxcb-keysyms || fail "cannot build keywindow"
    fi
    KEYWINDOW_OUT=$WORK/keywindow.out
    spawn "$tool" "Other program" >"$KEYWINDOW_OUT"
    wait_for 10 "the other program's window" grep -q '^mapped$' "$KEYWINDOW_OUT"
    OTHER_WINDOW=$(find_window 20 '^Other program$') || fail "the other program shows no window"
    focus_window "$OTHER_WINDOW"
}

# The letter keys that reached the other program's window, in order ("sn"); Ctrl itself is not counted.
keys_received() { sed -n 's/^key \([a-z]\)$/\1/p' "$KEYWINDOW_OUT" | tr -d '\n'; }
