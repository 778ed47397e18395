# SPDX-License-Identifier: GPL-3.0-or-later
# A screen reader reads the editor over the desktop's accessibility bus (AT-SPI): the editor is
# named by its document, gives its text with one "\n" per line break whatever the file's line
# breaks, and tells of each typed character and caret move.
source "$(dirname "$0")/lib.sh" "$1"

BUS_LAUNCHER=/usr/libexec/at-spi-bus-launcher
[ -x "$BUS_LAUNCHER" ] || fail "$BUS_LAUNCHER is missing (scripts/deps installs at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "python3-pyatspi is missing (scripts/deps installs it)"

start_xvfb
# A session bus of the test's own, and the accessibility bus with its registry on it.
spawn dbus-daemon --session --nofork --print-address=3 3>"$WORK/bus-address"
wait_for 20 "the session bus" test -s "$WORK/bus-address"
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$WORK/bus-address")
spawn "$BUS_LAUNCHER" --launch-immediately
a11y_bus_up() {
    [[ $(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus) == *"boolean true"* ]]
}
wait_for 20 "the accessibility bus" a11y_bus_up
# As a screen reader's start does; Qt reads it at start.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# A file with LF line breaks: 14 characters to a screen reader, though the editor holds "\r\n".
printf 'one\ntwo\nthree\n' >"$WORK/notes.txt"
"$MARQUILL" "$WORK/notes.txt" >"$MARQUILL_LOG" 2>&1 &
MARQUILL_PID=$!
MARQUILL_WINDOW=$(find_window 30 '^Marquill$') || fail "no window with the caption Marquill"
focus_window "$MARQUILL_WINDOW"
settle 1

# Two lines down: the caret on "three", at offset 8 (10 if each line break counted two).
timeout 90 /usr/bin/python3 "$E2E_DIR/atspi_editor.py" notes.txt 'one\ntwo\nthree\n' 8 Down Down \
    >"$ARTIFACTS/atspi.log" 2>&1 || {
    cat "$ARTIFACTS/atspi.log" >&2
    fail "the screen reader's view of the editor is wrong"
}
cat "$ARTIFACTS/atspi.log" >&2
log "screenshot: $(screenshot typed)"
check_sanitizers
log "passed"
