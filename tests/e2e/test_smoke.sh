# SPDX-License-Identifier: GPL-3.0-or-later
# The program starts in a real X server, shows its window and takes typing and clicks.
source "$(dirname "$0")/lib.sh" "$1"

start_xvfb
start_marquill

size=$(window_size "$MARQUILL_WINDOW")
[ "$size" = "807x611" ] || fail "client area is $size, expected 807x611"

title=$(timeout 5 xdotool getwindowname "$MARQUILL_WINDOW")
[ "$title" = "Marquill" ] || fail "caption is '$title'"

[ "$(focused_window)" = "$MARQUILL_WINDOW" ] || fail "Marquill does not have the keyboard"
screenshot start >/dev/null

# Typing changes what the editor shows.
EDITOR_AREA=(20 110 300 60)
editor_before=$(window_crop editor-before "${EDITOR_AREA[@]}")
type_text "Hello from the smoke test"
wait_for_change "$editor_before" editor-after "typing changed nothing on the screen" 5 "${EDITOR_AREA[@]}"
assert_running "after typing"

# New adds a tab: the tab row changes.
TAB_ROW=(8 75 791 26)
tabs_before=$(window_crop tabs-before "${TAB_ROW[@]}")
click_button "New (Ctrl+N)"
wait_for_change "$tabs_before" tabs-after "New changed nothing in the tab row" 5 "${TAB_ROW[@]}"
assert_running "after New"
type_text "second document"

# Buttons whose commands come later do nothing and do not end the program.
for caption in "Redo" "Select All"; do
    click_button "$caption"
    assert_running "after $caption"
done

title=$(timeout 5 xdotool getwindowname "$MARQUILL_WINDOW")
[ "$title" = "Marquill" ] || fail "caption is '$title' after the commands"
log "screenshot: $(screenshot end)"
check_sanitizers
log "passed"
