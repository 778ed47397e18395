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
editor_before=$(window_crop editor-before 20 110 300 60)
type_text "Hello from the smoke test"
editor_after=$(window_crop editor-after 20 110 300 60)
[ "$(pixels_differing "$editor_before" "$editor_after")" -gt 0 ] || fail "typing changed nothing on the screen"
assert_running "after typing"

# New adds a tab: the tab row changes.
tabs_before=$(window_crop tabs-before 8 75 400 25)
click_button "New (Ctrl+N)"
tabs_after=$(window_crop tabs-after 8 75 400 25)
[ "$(pixels_differing "$tabs_before" "$tabs_after")" -gt 0 ] || fail "New changed nothing in the tab row"
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
