# SPDX-License-Identifier: GPL-3.0-or-later
# The Ctrl shortcuts reach Marquill while another program has the keyboard; a combination
# another program already holds stays with that program.
source "$(dirname "$0")/lib.sh" "$1"

# Pixels of the tab row: the documents' captions and which one is selected.
TAB_ROW=(8 75 791 26)
tab_row() { window_crop "$1" "${TAB_ROW[@]}"; }
tab_row_becomes() { wait_for_picture "$1" "$2" "$3" 5 "${TAB_ROW[@]}"; }
tab_row_stays() {
    settle 1
    wait_for_picture "$1" "$2" "$3" 0 "${TAB_ROW[@]}"
}

start_xvfb

DOC=$WORK/docs/a.txt
mkdir -p "$(dirname "$DOC")"
printf 'alpha\n' >"$DOC"
write_settings "[Marquill]" "OpenFiles=$DOC|" "GlobalShortcuts=1"
ORIGINAL=$(cat "$DOC")

# First run, for comparison: the tab row after typing, and after exactly one New by a click.
start_marquill
wait_for_shortcuts
ref_start=$(tab_row reference-start)
type_text "XYZ"
settle 1
ref_typed=$(tab_row reference-typed)
click_button "New (Ctrl+N)"
wait_for_change "$ref_typed" reference-one-new "clicking New changed nothing in the tab row" 5 "${TAB_ROW[@]}"
settle 1
ref_one_new=$(tab_row reference-one-new)
log "reference: $(screenshot reference)"
stop_marquill
[ "$(cat "$DOC")" = "$ORIGINAL" ] || fail "the first run changed the file"

# Second run, with Ctrl+O held by another program from before the start.
hold_shortcut o
start_marquill
wait_for_shortcuts
tab_row_becomes "$ref_start" start "the second run does not start like the first"
type_text "XYZ"
tab_row_becomes "$ref_typed" typed "typing in the second run does not look like in the first"

start_other_client
[ "$(focused_window)" = "$OTHER_WINDOW" ] || fail "the other program does not have the keyboard"

# Ctrl with Shift or Alt as well is no shortcut; Ctrl+O belongs to the other program.
press_keys ctrl+shift+n
press_keys ctrl+alt+n
press_keys ctrl+shift+s
press_keys ctrl+o
tab_row_stays "$ref_typed" after-other-keys "Ctrl+Shift+N, Ctrl+Alt+N, Ctrl+Shift+S or Ctrl+O changed the documents"
[ "$(grep -c '^press$' "$GRABKEY_OUT")" = 1 ] || fail "the program holding Ctrl+O did not get its press"
window_exists "Select File" && fail "Ctrl+O opened Marquill's open dialog though another program holds it"
[ "$(cat "$DOC")" = "$ORIGINAL" ] || fail "Ctrl+Shift+S saved the file"
assert_running "after the keys that are no shortcuts"

# Ctrl+N held down (the keyboard repeats it), with NumLock on: one press, one new document.
press_keys Num_Lock
timeout 10 xdotool keydown ctrl+n || fail "cannot hold ctrl+n"
sleep 1.5
timeout 10 xdotool keyup ctrl+n || fail "cannot release ctrl+n"
press_keys Num_Lock
tab_row_becomes "$ref_one_new" after-ctrl-n "holding Ctrl+N did not add exactly one document"
tab_row_stays "$ref_one_new" after-ctrl-n "holding Ctrl+N added more than one document"
[ "$(focused_window)" = "$MARQUILL_WINDOW" ] || fail "Ctrl+N did not bring Marquill forward"
log "after Ctrl+N: $(screenshot after-ctrl-n)"

# Ctrl+S saves the current document, the reopened file, back to where it came from.
timeout 10 xdotool mousemove --window "$MARQUILL_WINDOW" --sync 40 88 click 1 || fail "cannot click the first tab"
settle
focus_window "$OTHER_WINDOW"
press_keys ctrl+s
wait_for 10 "Ctrl+S to save the typed text into $DOC" grep -q XYZ "$DOC"
grep -q alpha "$DOC" || fail "the saved file lost its text: $(cat "$DOC")"
log "saved: $(tr '\n' '|' <"$DOC")"
assert_running "after Ctrl+S"
log "end: $(screenshot end)"
stop_marquill
log "passed"
