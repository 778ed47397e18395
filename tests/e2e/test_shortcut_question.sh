# SPDX-License-Identifier: GPL-3.0-or-later
# Without GlobalShortcuts in the settings, the first shortcut pressed in another program asks
# once whether the six act everywhere. Enter (the default, "Only in Marquill") gives the key back
# to the other program, leaves the document alone and keeps the keys with that program from then on.
source "$(dirname "$0")/lib.sh" "$1"

start_xvfb
DOC=$WORK/docs/a.txt
mkdir -p "$(dirname "$DOC")"
printf 'alpha\n' >"$DOC"
write_settings "[Marquill]" "OpenFiles=$DOC|"

start_marquill
wait_for_shortcuts
type_text "XYZ"
start_key_window
timeout 10 xdotool key --clearmodifiers ctrl+w || fail "cannot press ctrl+w"
question=$(find_window 10 '^Global Shortcuts$') || fail "Ctrl+W in another program asked nothing"
log "question: $(screenshot question)"
# Letters typed on do not answer it.
settle 1.2
focus_window "$question"
timeout 10 xdotool type --delay 50 "ok" || fail "cannot type"
window_exists '^Global Shortcuts$' || fail "typed letters answered the question"
timeout 10 xdotool key Return || fail "cannot press Return"
window_gone "$question"
wait_for 5 "Ctrl+W to reach the other program" grep -q '^key w$' "$KEYWINDOW_OUT"
window_exists '^Save Changes$' && fail "Close ran though the shortcuts were kept to Marquill"
grep -q '^GlobalShortcuts=0$' "$XDG_CONFIG_HOME/Vortlane.ini" || fail "the answer was not kept: $(cat "$XDG_CONFIG_HOME/Vortlane.ini")"
# From now on the other program keeps its keys, and nothing is asked again.
focus_window "$OTHER_WINDOW"
press_keys ctrl+s
settle 1
[ "$(keys_received)" = ws ] || fail "the other program received '$(keys_received)', not Ctrl+W and Ctrl+S"
window_exists '^Global Shortcuts$' && fail "the question came again"
[ "$(cat "$DOC")" = alpha ] || fail "the file changed"
assert_running "after the question"
stop_marquill
log "passed"
