#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# With LANG=de_DE.UTF-8 the real program speaks German: the untitled document's name and the
# Save As dialog's caption come from the embedded German translation.
source "$(dirname "$0")/lib.sh" "$1"

locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' || fail "the locale de_DE.UTF-8 is missing (scripts/deps makes it)"
export LANG=de_DE.UTF-8

start_xvfb
start_marquill
# The window's own caption is the product's name in every language.
[ "$(timeout 5 xdotool getwindowname "$MARQUILL_WINDOW")" = "Marquill" ] || fail "the caption changed"
log "screenshot: $(screenshot window-german)"

click_button "Save As (Ctrl+A)"
dialog=$(dialog_window "[Unbenannt1.txt] sichern als")
settle 1
log "screenshot: $(screenshot save-as-german)"
press_keys Escape
window_gone "$dialog"
grep -q "Detected locale" "$MARQUILL_LOG" && fail "Qt did not take the locale: $(cat "$MARQUILL_LOG")"
check_sanitizers
log "passed"
