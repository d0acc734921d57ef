#!/usr/bin/env bash
# Drops onto the palette and cancelled drags, natively on headless sway:
# 1. text dropped from a native GTK and a native Qt program becomes an
#    item (the Qt program, told "move", removes its text);
# 2. a text that can't become an item ("a|b") is refused: no row, and the
#    Qt program keeps its text;
# 3. Escape, and the right button, cancel a drag-out: nothing arrives in
#    the GTK program beneath, and the palette stays where it was;
# 4. a double click opens the item editor, and Escape (no longer bound
#    once the drag is over) closes it.
source "$(dirname "$0")/../../../scripts/e2e/lib.sh"
source "$(dirname "$0")/../../../scripts/e2e/blurtle.sh"
source "$(dirname "$0")/../../../scripts/e2e/wayland.sh"
wl_begin "$@"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:greet"
sqlite3 "$library" "UPDATE tblPhrase SET Data = 'Hello there9|'"
e2e_use_library "$library"
rows() { sqlite3 "$library" "SELECT COUNT(*) FROM tblPhrase"; }
has_row() { [ "$(sqlite3 "$library" "SELECT COUNT(*) FROM tblPhrase WHERE Data = '$1'")" = 1 ]; }

e2e_start_blurtle
palette='^Blurtle \(TM\)$'
wl_wait_window "$palette" >/dev/null
wl_place "$palette" 900 60
where=$(wl_windows "$palette" | cut -d' ' -f1-4)
standing() { [ "$(wl_windows "$palette" | cut -d' ' -f1-4)" = "$where" ]; }
read -r tx ty <<<"$(wl_point_in "$palette" 80 300)" # below the entries
read -r fx fy <<<"$(wl_point_in "$palette" 40 113)"  # the entry

# --- 1: drop-in from GTK and Qt --------------------------------------------
gtk="$E2E_TMP/gtk-source.txt"
wl_open_gtk "$gtk" "Hallo Welt aus GTK" 6 12 40 40
read -r sx sy <<<"$(wl_selection_point "$gtk" "^GTK text - gtk-source.txt\$")"
wl_drag "$sx" "$sy" "$tx" "$ty"
e2e_wait_until 5 "the GTK text to become an item" has_row 'Welt aus GTK9|'
e2e_log "drop-in from GTK"

qt="$E2E_TMP/qt-moved.txt"
wl_open_qt "$qt" "Take good words here" 5 10 40 400
read -r sx sy <<<"$(wl_selection_point "$qt" "^Qt text source - qt-moved.txt\$")"
wl_drag "$sx" "$sy" "$tx" "$ty"
e2e_wait_until 5 "the Qt text to become an item" has_row 'good words9|'
e2e_wait_until 5 "the Qt program to remove the moved text, it has [$(cat "$qt")]" \
  wl_file_is "$qt" "Take  here"
e2e_log "drop-in from Qt, moved"

# --- 2: a refused drop leaves the source's text ----------------------------
refused="$E2E_TMP/qt-refused.txt"
wl_open_qt "$refused" "Keep this a|b text" 10 3 40 620
read -r sx sy <<<"$(wl_selection_point "$refused" "^Qt text source - qt-refused.txt\$")"
before=$(rows)
wl_drag "$sx" "$sy" "$tx" "$ty"
sleep 1
[ "$(rows)" = "$before" ] || e2e_fail "a refused text added a row"
wl_file_is "$refused" "Keep this a|b text" || e2e_fail "the Qt program lost its text: [$(cat "$refused")]"
e2e_log "refused drop: the Qt program kept its text"

# --- 3: Escape and the right button cancel a drag-out ----------------------
target="$E2E_TMP/gtk-target.txt"
wl_open_gtk "$target" "" 0 0 40 40
swaymsg "[title=\"$palette\"] focus" >/dev/null # over the new window
read -r gx gy <<<"$(wl_point_in "^GTK text - gtk-target.txt\$" 300 100)"
cancel_case() {
  wl_drag_hold "$fx" "$fy" "$gx" "$gy"
  if [ "$1" = Escape ]; then wl_keys -k Escape; else wl_pointer down right && wl_pointer up right; fi
  sleep 0.2
  wl_pointer up
  sleep 0.5
  wl_file_is "$target" "" || e2e_fail "$1 did not cancel: the GTK view has [$(cat "$target")]"
  e2e_wait_until 1 "the palette back as it was ($where)" standing
  e2e_log "$1 cancelled the drag"
}
cancel_case Escape
cancel_case right
# Still a drag after that drops.
wl_drag "$fx" "$fy" "$gx" "$gy"
e2e_wait_until 5 "a drag after the cancels to drop" wl_file_is "$target" "Hello there  "

# --- 4: a double click opens the item editor -------------------------------
# It takes the pointer again a moment (150 ms) after the drop.
sleep 0.5
wl_move "$fx" "$fy"
wl_pointer down && wl_pointer up && wl_pointer down && wl_pointer up
wl_wait_window 'Item Properties$' 5 >/dev/null
wl_keys -k Escape
e2e_wait_until 5 "Escape to close the item editor" eval '! wl_has_window "Item Properties\$"'
e2e_log "PASS"
