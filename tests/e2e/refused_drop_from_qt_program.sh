#!/usr/bin/env bash
# Drags from a Qt program onto the list. A Qt drag source takes the last
# answer it got while dragging as the drag's result and deletes its text
# for a move, so:
# 1. a text that can't become an item ("a|b") is refused while dragged: the
#    Qt editor keeps its text, no row is added, and the palette says why;
#    cancelled with Escape over the list instead, nothing is said;
# 2. a good text dragged without Ctrl is moved: a row is added and the
#    editor loses the selection;
# 3. with Ctrl held it is copied: a row is added and the editor keeps it.
source "$(dirname "$0")/common.sh" "$1"
QT_TEXT_SOURCE=$(readlink -f "$2")
source "$(dirname "$0")/../../scripts/e2e/qt_source.sh"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:"
e2e_use_library "$library"
rows() { sqlite3 "$library" "SELECT COUNT(*) FROM tblPhrase"; }
has_rows() { [ "$(rows)" = "$1" ]; }
holds() { [ "$(cat "$1")" = "$2" ]; }

e2e_start_blurtle
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
e2e_move_window "$palette" 800 60
sleep 0.3
read -r tx ty <<<"$(e2e_point_in "$palette" 60 250)"

# --- 1: a refused text stays where it was ---------------------------------
out="$E2E_TMP/refused.txt"
e2e_open_qt_source "$out" "Keep this a|b text" 10 3 0 0
read -r sx sy <<<"$(e2e_qt_source_selection "$out")"
e2e_drag "$sx" "$sy" "$tx" "$ty" 0.08
e2e_dismiss_message_box "$palette"
e2e_close_qt_source
holds "$out" "Keep this a|b text" || e2e_fail "the Qt editor lost its text: [$(cat "$out")]"
has_rows 0 || e2e_fail "a refused text added $(rows) row(s)"
e2e_log "refused: the editor kept [$(cat "$out")]"

# --- 1b: the same drag cancelled with Escape over the list tells nothing ---
out="$E2E_TMP/cancelled.txt"
e2e_open_qt_source "$out" "Keep this a|b text" 10 3 0 0
read -r sx sy <<<"$(e2e_qt_source_selection "$out")"
e2e_drag_hold "$sx" "$sy" "$tx" "$ty" 0.08
xdotool key Escape # the Qt editor has the keyboard: it cancels its drag
sleep 0.5
e2e_has_no_message_box "$palette" || e2e_fail "a message box for a cancelled drag"
xdotool mouseup 1
sleep 0.5
e2e_has_no_message_box "$palette" || e2e_fail "a message box for a cancelled drag"
e2e_close_qt_source
holds "$out" "Keep this a|b text" || e2e_fail "the Qt editor lost its text: [$(cat "$out")]"
has_rows 0 || e2e_fail "a cancelled drag added $(rows) row(s)"
e2e_log "cancelled: nothing said"

# --- 2: a good text is moved ----------------------------------------------
out="$E2E_TMP/moved.txt"
e2e_open_qt_source "$out" "Take good words here" 5 10 0 0
read -r sx sy <<<"$(e2e_qt_source_selection "$out")"
e2e_drag "$sx" "$sy" "$tx" "$ty" 0.08
e2e_wait_until 5 "the moved text to become an item" has_rows 1
e2e_wait_until 5 "the Qt editor to remove the moved text, it has [$(cat "$out")]" \
  holds "$out" "Take  here"
item=$(sqlite3 -separator / "$library" "SELECT Data, Mnemonic FROM tblPhrase")
[ "$item" = "good words9|/good words" ] || e2e_fail "the new row is [$item]"
e2e_has_no_message_box "$palette" || e2e_fail "a message box after a good drop"
e2e_close_qt_source
e2e_log "moved: the editor has [$(cat "$out")]"

# --- 3: with Ctrl, copied --------------------------------------------------
out="$E2E_TMP/copied.txt"
e2e_open_qt_source "$out" "Take good words here" 5 10 0 0
read -r sx sy <<<"$(e2e_qt_source_selection "$out")"
e2e_drag_hold "$sx" "$sy" "$tx" "$ty" 0.08
xdotool keydown ctrl
sleep 0.1
xdotool mousemove $((tx + 3)) $((ty + 3))
sleep 0.2
xdotool mouseup 1
xdotool keyup ctrl
e2e_wait_until 5 "the copied text to become an item" has_rows 2
sleep 0.5
e2e_close_qt_source
holds "$out" "Take good words here" || e2e_fail "a copy removed the text: [$(cat "$out")]"
e2e_log "PASS"
