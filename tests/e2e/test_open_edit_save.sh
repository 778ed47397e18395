# SPDX-License-Identifier: GPL-3.0-or-later
# Real files through the real dialogs: open, type, undo one edit, save with the button, and the
# bytes on disk are exactly what they must be; an untitled document saved through the save dialog;
# Find through its input box.
source "$(dirname "$0")/lib.sh" "$1"

DOCS=$WORK/docs
mkdir -p "$DOCS"
# Pixels of the tab row: the documents' captions, with their "*" once changed.
TAB_ROW=(8 75 791 26)

start_xvfb
# A layout that has ü and é (behind AltGr), so that xdotool types them with real keys instead of
# remapping a spare key code for each press, which can race with the program reading the key map.
timeout 10 setxkbmap -layout us -variant altgr-intl || fail "cannot set the keyboard layout"
start_marquill

# 1. A new document saved through the save dialog: UTF-8, LF, nothing added at the end.
NEW_FILE=$DOCS/new.txt
click_button "New (Ctrl+N)"
type_text "one two"
press_keys Return
type_text "three "
press_keys udiaeresis
click_button "Save (Ctrl+S)"
dialog=$(dialog_window "Save [Untitled2.txt] As")
log "save dialog: $(screenshot save-dialog)"
choose_path "$dialog" "$NEW_FILE"
wait_for_bytes "$NEW_FILE" 'one two\nthree \xc3\xbc' "the new document was not written as UTF-8 with LF breaks"
assert_running "after saving the new document"
title=$(timeout 5 xdotool getwindowname "$MARQUILL_WINDOW")
[ "$title" = "Marquill" ] || fail "caption is '$title' after the saves"

# 2. Find through its input box selects the match; typing replaces it; Save now writes to the
# path chosen before, without a dialog.
click_button "Find"
box=$(other_window 10 '^Marquill$') || fail "Find showed no input box"
focus_window "$box"
log "find box: $(screenshot find-box)"
type_text "two"
press_keys Return
window_gone "$box"
focus_window "$MARQUILL_WINDOW"
type_text "2"
click_button "Save (Ctrl+S)"
wait_for_bytes "$NEW_FILE" 'one 2\nthree \xc3\xbc' "Find did not select 'two' for the typing to replace"
window_exists '^Save ' && fail "Save asked for a path again"
assert_running "after Find"

# 3. A Windows-style file: CRLF breaks, a break at the end. Typing at its start, Return included,
# must be written back with CRLF; the undone character is gone and no break is added at the end.
CRLF_FILE=$DOCS/crlf.txt
printf 'alpha\r\nbeta\r\n' >"$CRLF_FILE"
click_button "Open (Ctrl+O)"
dialog=$(dialog_window "Select File")
log "open dialog: $(screenshot open-dialog)"
choose_path "$dialog" "$CRLF_FILE"
settle
opened=$(window_crop crlf-opened "${TAB_ROW[@]}")
press_keys ctrl+Home
type_text "top"
wait_for_change "$opened" crlf-typed "typing did not mark crlf.txt as changed" 5 "${TAB_ROW[@]}"
press_keys Return
type_text "X"
click_button "Undo (Ctrl+Z)"
click_button "Save (Ctrl+S)"
wait_for_bytes "$CRLF_FILE" 'top\r\nalpha\r\nbeta\r\n' "the CRLF file was not saved as typed with the last character undone"
wait_for_picture "$opened" crlf-saved "after saving, crlf.txt is not captioned as when it was opened" 5 "${TAB_ROW[@]}"
assert_running "after saving the CRLF file"

# 4. A Unix-style UTF-8 file with non-ASCII text and no break at the end, in a second tab.
# Text typed at its end keeps LF and UTF-8, and the file still ends where the typing ended.
LF_FILE=$DOCS/utf8-lf.txt
printf 'gr\xc3\xbc\xc3\x9fe\nna\xc3\xafve \xe6\x97\xa5\xe6\x9c\xac' >"$LF_FILE"
click_button "Open (Ctrl+O)"
dialog=$(dialog_window "Select File")
choose_path "$dialog" "$LF_FILE"
press_keys ctrl+End
press_keys Return
type_text "caf"
press_keys eacute
type_text "!Q"
click_button "Undo (Ctrl+Z)"
click_button "Save (Ctrl+S)"
wait_for_bytes "$LF_FILE" 'gr\xc3\xbc\xc3\x9fe\nna\xc3\xafve \xe6\x97\xa5\xe6\x9c\xac\ncaf\xc3\xa9!' \
    "the UTF-8 LF file was not saved as typed with the last character undone"
wait_for_bytes "$CRLF_FILE" 'top\r\nalpha\r\nbeta\r\n' "saving the second file changed the first"
assert_running "after saving the UTF-8 file"

check_sanitizers
log "end: $(screenshot end)"
log "passed"
