#!/usr/bin/env bash
# A text that can't become an item ("a|b"), dragged out of a stock editor
# onto the list, is refused: the editor keeps its text, the library gains
# no row, and the palette says why once the user lets go.
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:"
e2e_use_library "$library"
rows() { sqlite3 "$library" "SELECT COUNT(*) FROM tblPhrase"; }

e2e_start_session_bus
source_file="$E2E_TMP/source.txt"
printf 'Keep this a|b text\n' >"$source_file"
e2e_open_editor "$source_file" 0 0 700 500
saved() { [ "$(cat "$source_file")" = "$expected" ]; }

e2e_start_blurtle
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
e2e_move_window "$palette" 800 60
sleep 0.3

# Select "a|b": ten characters in from the start, three long.
e2e_activate "$E2E_EDITOR"
xdotool key --clearmodifiers ctrl+Home
for _ in $(seq 10); do xdotool key --clearmodifiers Right; done
for _ in 1 2 3; do xdotool key --clearmodifiers shift+Right; done
sleep 0.3
read -r sx sy <<<"$(e2e_selection_center "$E2E_EDITOR")"
[ -n "${sy:-}" ] || e2e_fail "no selected text to be seen in the editor"
read -r tx ty <<<"$(e2e_point_in "$palette" 60 250)"
e2e_drag "$sx" "$sy" "$tx" "$ty" 0.08
e2e_dismiss_message_box "$palette"
[ "$(rows)" = 0 ] || e2e_fail "a refused text added $(rows) row(s)"

# The editor's text is whole: a mark typed at its end and saved shows it.
e2e_activate "$E2E_EDITOR"
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 40 "Z"
e2e_save_focused
expected=$'Keep this a|b text\nZ'
e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$source_file")]" saved
e2e_log "PASS"
