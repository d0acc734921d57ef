#!/usr/bin/env bash
# Two members of a team, each with a palette of their own (own home,
# settings and single-instance socket), on one library on a PostgreSQL
# server: text dropped from the editor onto the first palette becomes an
# item that the second palette shows without a restart, and dragged out of
# the second palette it arrives in the editor.
#
# The third argument is the file that names the test server's socket
# directory (the server ctest starts for the tests that need one).
address_file=${3:?the test server\'s address file}
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

socket_dir=$(cat "$address_file") || e2e_fail "no test server"
database="e2e_shared_$$"
sql() { psql -X -q -t -A "host=$socket_dir port=5432 user=blurtle_test dbname=$1" -c "$2"; }
sql postgres "CREATE DATABASE $database" || e2e_fail "could not make a database"
library="postgresql://blurtle_test@/$database?host=$socket_dir&port=5432"
"$BLURTLE" --new-library "$library" >/dev/null
sql "$database" "INSERT INTO \"tblCategory\" (\"Description\") VALUES ('Team')" >/dev/null
items() { sql "$database" "SELECT string_agg(\"Mnemonic\", ',') FROM \"tblPhrase\""; }
e2e_use_library "$library"

e2e_start_session_bus
source_file="$E2E_TMP/source.txt"
printf 'Shared by the team\n' >"$source_file"
e2e_open_editor "$source_file" 0 0 700 500
saved() { [ "$(cat "$source_file")" = "$expected" ]; }

e2e_start_blurtle
first=$(e2e_wait_palette)
e2e_wait_until 5 "the first palette to show" e2e_is_viewable "$first"
e2e_move_window "$first" 760 60

# The second member: another home, the same library.
second_home="$E2E_TMP/home2"
mkdir -p "$second_home/.config/Quillfen" "$second_home/.local/share" "$E2E_TMP/runtime2"
chmod 700 "$E2E_TMP/runtime2"
cp "$(e2e_settings_file)" "$second_home/.config/Quillfen/"
e2e_start blurtle-second env HOME="$second_home" XDG_CONFIG_HOME="$second_home/.config" \
    XDG_DATA_HOME="$second_home/.local/share" XDG_RUNTIME_DIR="$E2E_TMP/runtime2" "$BLURTLE"
two_palettes() { [ "$(e2e_window_count "$E2E_PALETTE_TITLE")" = 2 ]; }
e2e_wait_until 20 "the second palette to show" two_palettes
second=$(e2e_windows "$E2E_PALETTE_TITLE" | grep -vx "$first" | head -n 1)
e2e_wait_until 5 "the second palette to show" e2e_is_viewable "$second"
e2e_move_window "$second" 1020 60
sleep 0.5

# The editor's text dragged onto the first palette's list.
e2e_activate "$E2E_EDITOR"
xdotool key --clearmodifiers ctrl+a
sleep 0.3
row=$(e2e_selection_row "$E2E_EDITOR" 100)
[ -n "$row" ] || e2e_fail "no selected text to be seen in the editor"
read -r tx ty <<<"$(e2e_point_in "$first" 60 250)"
e2e_drag 100 $((row + 4)) "$tx" "$ty" 0.08
stored() { [ "$(items)" = "Shared by the team" ]; }
e2e_wait_until 5 "the dropped text to become an item, the library has [$(items)]" stored
e2e_log "the first palette stored the item"

# An empty document to drag into.
e2e_activate "$E2E_EDITOR"
xdotool key --clearmodifiers ctrl+a Delete
e2e_save_focused
expected=""
e2e_wait_until 5 "the editor to save an empty document" saved

# The second palette was never touched: its first entry is the new item.
read -r fx fy <<<"$(e2e_point_in "$second" 40 113)"
e2e_drag "$fx" "$fy" 300 200 0.08
e2e_wait_until 3 "the second palette to come back after the drop" e2e_is_viewable "$second"
sleep 0.3
e2e_save_focused
expected="Shared by the team  "
e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$source_file")]" saved
e2e_log "PASS"
