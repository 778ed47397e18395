# SPDX-License-Identifier: GPL-3.0-or-later
# A shortcut pressed in another program brings Marquill's window forward, then acts; a question it
# raises ignores the keys typed right after. With GlobalShortcuts=0 the keys stay with the other
# program and Marquill does nothing.
source "$(dirname "$0")/lib.sh" "$1"

marquill_has_keyboard() { [ "$(focused_window)" = "$MARQUILL_WINDOW" ]; }

start_xvfb

DOC=$WORK/docs/a.txt
mkdir -p "$(dirname "$DOC")"
printf 'alpha\n' >"$DOC"
write_settings "[Marquill]" "OpenFiles=$DOC|" "GlobalShortcuts=1"

start_marquill
wait_for_shortcuts
type_text "XYZ"
start_key_window
[ "$(focused_window)" = "$OTHER_WINDOW" ] || fail "the other program does not have the keyboard"

# Ctrl+S: Marquill comes forward and saves.
press_keys ctrl+s
wait_for 10 "Ctrl+S to save the typed text" grep -q XYZalpha "$DOC"
wait_for 5 "Marquill's window to take the keyboard" marquill_has_keyboard
[ -z "$(keys_received)" ] || fail "the other program received Ctrl+S as well"
log "after Ctrl+S: $(screenshot after-ctrl-s)"

# Ctrl+W on a changed document: the question comes up in front and the "n" typed at once does not
# answer it; Escape a second later keeps the document.
type_text "Q"
focus_window "$OTHER_WINDOW"
timeout 10 xdotool key --clearmodifiers ctrl+w n || fail "cannot press ctrl+w n"
question=$(find_window 10 '^Save Changes$') || fail "Ctrl+W asked nothing"
settle 0.3
window_exists '^Save Changes$' || fail "the n typed after Ctrl+W answered the question"
log "question: $(screenshot question)"
sleep 1
focus_window "$question"
timeout 10 xdotool key Escape || fail "cannot press Escape"
window_gone "$question"
assert_running "after Escape"
click_button "Save (Ctrl+S)"
wait_for 10 "the kept document to be saved" grep -q XYZQalpha "$DOC"
stop_marquill

# GlobalShortcuts=0: the other program keeps its keys.
printf 'beta\n' >"$DOC"
write_settings "[Marquill]" "OpenFiles=$DOC|" "GlobalShortcuts=0"
start_marquill
wait_for_shortcuts
type_text "XYZ"
start_key_window
press_keys ctrl+s
press_keys ctrl+n
settle 1
[ "$(keys_received)" = sn ] || fail "the other program received '$(keys_received)', not Ctrl+S and Ctrl+N"
[ "$(cat "$DOC")" = beta ] || fail "Ctrl+S in another program saved the file"
[ "$(focused_window)" = "$OTHER_WINDOW" ] || fail "Marquill took the keyboard"
# In Marquill's own window the shortcuts still work.
focus_window "$MARQUILL_WINDOW"
press_keys ctrl+s
wait_for 10 "Ctrl+S in Marquill's window to save" grep -q XYZbeta "$DOC"
stop_marquill
log "passed"
