#!/usr/bin/env bash
# Text selected in a stock editor and dragged onto the list becomes a new
# item: its row holds the trimmed text followed by "9|", no leading
# punctuation and two trailing spaces. Dragged back out, the item gives the
# text and two spaces.
#
# (A GTK source deletes moved text only when the target asks it to through
# the selection's DELETE target, which Qt's drop handling never does, so
# the editor keeps its text after a move onto any Qt program.)
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:"
e2e_use_library "$library"
rows() { sqlite3 "$library" "SELECT COUNT(*) FROM tblPhrase"; }

e2e_start_session_bus
source_file="$E2E_TMP/source.txt"
printf '   Dropped from the editor \n' >"$source_file"
e2e_open_editor "$source_file" 0 0 700 500
saved() { [ "$(cat "$source_file")" = "$expected" ]; }

e2e_start_blurtle
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
e2e_move_window "$palette" 800 60
sleep 0.3

# Select all of the editor's text and drag it from its first line onto
# the list.
e2e_activate "$E2E_EDITOR"
xdotool key --clearmodifiers ctrl+a
sleep 0.3
row=$(e2e_selection_row "$E2E_EDITOR" 100)
[ -n "$row" ] || e2e_fail "no selected text to be seen in the editor"
read -r tx ty <<<"$(e2e_point_in "$palette" 60 250)"
e2e_drag 100 $((row + 4)) "$tx" "$ty" 0.08
one_row() { [ "$(rows)" = 1 ]; }
e2e_wait_until 5 "the dropped text to become an item" one_row

item=$(sqlite3 -separator '/' "$library" \
    "SELECT Data, Mnemonic, PunctuationLeading, PunctuationTrailing, ZOrder FROM tblPhrase")
[ "$item" = "Dropped from the editor9|/Dropped from the editor/0/2/0" ] ||
    e2e_fail "the new item's row is [$item]"
e2e_log "new item: [$item]"

# An empty document for the way back.
e2e_activate "$E2E_EDITOR"
xdotool key --clearmodifiers ctrl+a Delete
e2e_save_focused
expected=""
e2e_wait_until 5 "the editor to save an empty document" saved

# The new entry, dragged back out into the editor.
read -r fx fy <<<"$(e2e_point_in "$palette" 40 113)"
e2e_drag "$fx" "$fy" 300 200 0.08
e2e_wait_until 3 "the palette to come back after the drop" e2e_is_viewable "$palette"
sleep 0.3
e2e_save_focused
expected="Dropped from the editor  "
e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$source_file")]" saved
[ "$(rows)" = 1 ] || e2e_fail "dragging the item out changed the library"
e2e_log "PASS"
