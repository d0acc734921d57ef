#!/usr/bin/env bash
# An older library imported on the command line is a library like any
# other: the palette opens it, and its first category's last item, dragged
# into a stock editor, drops its text as the old file held it.
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

fixtures=$(cd "$(dirname "$0")/../data/mdb" && pwd)
library="$HOME/imported.blz"
said=$("$BLURTLE" --import-library "$fixtures/small-jet4.mdb" "$library")
[[ "$said" == "Imported 5 categories and 30 items from "* ]] || e2e_fail "the import said [$said]"
e2e_use_library "$library"

e2e_start_session_bus
target="$E2E_TMP/target.txt"
: >"$target"
e2e_open_editor "$target" 0 0 700 500

e2e_start_blurtle
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
e2e_move_window "$palette" 800 60
sleep 0.3

# "Greetings" comes first; End selects its last item, "café", whose text
# spells its accent as a combining mark after the "e" (and has no
# punctuation). The selection's colour shows its row.
read -r fx fy <<<"$(e2e_point_in "$palette" 40 113)"
e2e_click "$fx" "$fy"
sleep 0.2
xdotool key End
sleep 0.3
row=$(e2e_selection_row "$palette" "$fx")
[ -n "$row" ] || e2e_fail "no selected entry shows in the list"
e2e_log "the last item's row is at y=$row"
e2e_drag "$fx" "$((row + 5))" 300 200
e2e_wait_until 3 "the palette to come back after the drop" e2e_is_viewable "$palette"
sleep 0.3
e2e_save_focused
expected=$'Cafe\u0301 au lait, bitte'
saved() { [ "$(cat "$target")" = "$expected" ]; }
e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$target")]" saved
e2e_log "PASS"
