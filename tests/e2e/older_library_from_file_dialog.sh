#!/usr/bin/env bash
# An older library chosen in the file dialog of "Change Active Database..."
# (its path typed into Qt's file dialog) is imported beside it under the
# proposed name and used: the setting names the new library, which holds
# every item, and the palette opens it at the next start.
source "$(dirname "$0")/common.sh" "$1"

fixtures=$(cd "$(dirname "$0")/../data/mdb" && pwd)
library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:one"
e2e_use_library "$library"
mkdir -p "$HOME/old"
cp "$fixtures/small-jet4.mdb" "$HOME/old/Phrases.mdb"
imported="$HOME/old/Phrases.blz"

e2e_start_blurtle
pid=$E2E_LAST_PID
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
e2e_move_window "$palette" 400 60
sleep 0.3

# The window menu, from a right click on the palette's first label.
read -r x y <<<"$(e2e_point_in "$palette" 10 8)"
e2e_click "$x" "$y" 3
sleep 0.3
xdotool key Down Return # Change Active Database...
opened=$(e2e_wait_window '^Open$' 10)
e2e_activate "$opened"
sleep 0.3
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$HOME/old/Phrases.mdb"
xdotool key Return

# The save dialog proposes the old file's name beside it.
saving=$(e2e_wait_window '^Save the Imported Library As$' 10)
e2e_activate "$saving"
sleep 0.3
xdotool key Return

# What was imported, then the program's own close: two boxes, the second
# at once after the first.
dismiss_box() {
  e2e_wait_until 10 "$1" e2e_has_message_box "$palette"
  local box
  box=$(e2e_message_boxes "$palette" | head -n 1)
  e2e_activate "$box"
  xdotool key --clearmodifiers Return
  e2e_wait_until 5 "the box to close after: $1" e2e_is_unmapped "$box"
}
dismiss_box "what was imported"
dismiss_box "that the program must close"
e2e_wait_exit "$pid" 10

[ "$(e2e_setting DatabasePath)" = "$imported" ] ||
  e2e_fail "the setting names [$(e2e_setting DatabasePath)], not [$imported]"
count=$(sqlite3 "$imported" "SELECT count(*) FROM tblPhrase")
[ "$count" = 30 ] || e2e_fail "the imported library holds $count items"
[ "$(sqlite3 "$library" "SELECT count(*) FROM tblPhrase")" = 1 ] ||
  e2e_fail "the old library changed"

# The next start opens the new library without a word.
e2e_start_blurtle
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
sleep 1
e2e_has_no_message_box "$palette" || e2e_fail "the palette said something at its start"
e2e_log "PASS"
