# SPDX-License-Identifier: GPL-3.0-or-later
# A second start hands its files to the running window and ends; after a crash the socket the
# crashed window left behind is replaced by the next start.
source "$(dirname "$0")/lib.sh" "$1"

start_xvfb
printf 'first file\n' >"$WORK/one.txt"
printf 'second file\n' >"$WORK/two words.txt"
start_marquill
first=$MARQUILL_PID
socket=$(ls "$XDG_RUNTIME_DIR"/marquill-*.socket) || fail "the window listens on no socket"

TAB_ROW=(8 75 791 26)
tabs_before=$(window_crop tabs-before "${TAB_ROW[@]}")
status=0
(cd "$WORK" && timeout 20 "$MARQUILL" one.txt "two words.txt") >"$ARTIFACTS/second.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the second start ended with $status"
wait_for_change "$tabs_before" tabs-after "the handed-over files added no tabs" 5 "${TAB_ROW[@]}"
[ "$(timeout 5 xdotool search --onlyvisible --name '^Marquill$' | wc -l)" -eq 1 ] || fail "a second window opened"
assert_running "after the second start"
# The last file is selected and has the keyboard: typing and Save go to it.
type_text "X"
click_button "Save (Ctrl+S)"
wait_for_bytes "$WORK/two words.txt" 'Xsecond file\n' "typing after the hand-over did not reach the last file"
log "screenshot: $(screenshot handed-over)"

# A crash leaves the socket file; the next start takes its place, and a later one hands over.
kill -KILL "$first"
wait "$first" 2>/dev/null || true
MARQUILL_PID=
[ -S "$socket" ] || fail "the killed window left no socket file behind (nothing was tested)"
start_marquill
[ "$MARQUILL_PID" != "$first" ] || fail "no new program"
status=0
(cd "$WORK" && timeout 20 "$MARQUILL" one.txt) >"$ARTIFACTS/third.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the start after the crash's replacement ended with $status"
[ "$(timeout 5 xdotool search --onlyvisible --name '^Marquill$' | wc -l)" -eq 1 ] || fail "a second window opened"
check_sanitizers
log "passed"
