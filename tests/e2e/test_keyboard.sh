# SPDX-License-Identifier: GPL-3.0-or-later
# The keyboard in the real window: the zoom, redo and Alt keys type nothing into the document; F6
# takes the keyboard to the buttons, Escape brings it back, the arrows reach Select All and Enter
# presses it; the editor's menu opens on a right click and its Undo takes back the last edit.
source "$(dirname "$0")/lib.sh" "$1"

DOCS=$WORK/docs
mkdir -p "$DOCS"
FILE=$DOCS/keys.txt

start_xvfb
start_marquill

type_text "abc"
press_keys ctrl+equal ctrl+plus ctrl+minus ctrl+0 ctrl+KP_Add ctrl+KP_Subtract ctrl+y ctrl+shift+z alt+x
# F6 to New, Escape back to the text: the typing goes on where it was.
press_keys F6
log "focused button: $(screenshot focused-button)"
press_keys Escape
type_text "d"
click_button "Save (Ctrl+S)"
dialog=$(dialog_window "Save [Untitled1.txt] As")
choose_path "$dialog" "$FILE"
wait_for_bytes "$FILE" 'abcd' "a zoom, redo or Alt key typed into the document, or Escape lost the typing"

# F6, then left round the end of the bottom row: Close All, Close, Select All; Enter selects the
# text, which the typing replaces; a click on a button leaves the keyboard in the text.
press_keys F6 Left Left Left Return
type_text "z"
click_button "Save All"
type_text "y"
press_keys ctrl+s
wait_for_bytes "$FILE" 'zy' "Enter on Select All did not select the text, or a click took the keyboard"

# The editor's menu: a right click in the text; "u" (its Undo) takes back the "y".
timeout 10 xdotool mousemove --window "$MARQUILL_WINDOW" --sync 200 200 click 3 || fail "cannot right-click"
settle 0.5
log "editor menu: $(screenshot editor-menu)"
press_keys u
press_keys ctrl+s
wait_for_bytes "$FILE" 'z' "the menu's Undo did not take back the last key"
assert_running "after the keyboard"
check_sanitizers
log "passed"
