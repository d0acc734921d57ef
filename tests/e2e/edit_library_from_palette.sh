#!/usr/bin/env bash
# The library is edited from the palette with the keyboard and the mouse
# only: a category added from the selector's menu, an item with two
# weighted iterations and chosen punctuation added from the list's menu,
# that item dragged into a stock editor, renamed, and deleted.
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

library="$HOME/phrases.blz"
"$BLURTLE" --new-library "$library" >/dev/null
e2e_use_library "$library"
query() { sqlite3 "$library" "$1"; }
# Opens the context menu at X Y inside the window and picks an entry by
# its underlined letter.
menu_command() {
  local x y
  read -r x y <<<"$(e2e_point_in "$1" "$2" "$3")"
  e2e_click "$x" "$y" 3
  sleep 0.3
  xdotool key "$4"
}
holds() { [ "$(query "$1")" = "$2" ]; }

e2e_start_session_bus
target="$E2E_TMP/target.txt"
: >"$target"
e2e_open_editor "$target" 0 0 700 500

e2e_start_blurtle
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
e2e_move_window "$palette" 800 60
sleep 0.3

# --- a category, from the selector's menu ----------------------------------
e2e_log "a category, from the selector's menu"
menu_command "$palette" 40 30 a # &Add Category...
dialog=$(e2e_wait_window '^Add Category$' 5)
xdotool type --delay 30 "Greetings"
xdotool key Return
e2e_wait_until 5 "the category to be stored" holds "SELECT Description FROM tblCategory" Greetings
e2e_wait_until 5 "the dialog to close" e2e_is_unmapped "$dialog"

# --- an item, from the list's menu -----------------------------------------
e2e_log "an item, from the list's menu"
menu_command "$palette" 60 250 a # &Add Item...
editor=$(e2e_wait_window 'New Item Properties$' 5)
xdotool key alt+m
xdotool type --delay 30 "greet"
xdotool key alt+d
xdotool type --delay 30 "Hello there"
# Tab reaches the iteration arrows; Right steps to a new, blank iteration
# and gives the text back the focus.
xdotool key Tab Right
sleep 0.2
xdotool type --delay 30 "Hi friend"
# Tab twice reaches the weight; six steps down from 9 is 3.
xdotool key Tab Tab Down Down Down Down Down Down
# The leading group: arrows move and choose, two down is "Double space".
xdotool key Tab Down Down
# The trailing group: the arrow moves the focus to "Single space", Space
# chooses it.
xdotool key Tab Down space
sleep 0.2
xdotool key alt+o
e2e_wait_until 5 "the editor to close" e2e_is_unmapped "$editor"
item="SELECT Mnemonic, Data, PunctuationLeading, PunctuationTrailing FROM tblPhrase"
e2e_wait_until 5 "the item to be stored, it is [$(query "$item")]" \
  holds "$item" "greet|Hello there9|Hi friend3||2|1"

# --- the item dragged into the editor --------------------------------------
e2e_log "the item dragged into the editor"
read -r fx fy <<<"$(e2e_point_in "$palette" 40 113)"
e2e_drag "$fx" "$fy" 300 200
e2e_wait_until 3 "the palette to come back after the drop" e2e_is_viewable "$palette"
sleep 0.3
e2e_save_focused
dropped() { [ "$(cat "$target")" = "  Hello there " ] || [ "$(cat "$target")" = "  Hi friend " ]; }
e2e_wait_until 5 "the editor to save one of the texts, it has [$(cat "$target")]" dropped
e2e_log "dropped [$(cat "$target")]"

# --- renamed, from the list's menu -----------------------------------------
e2e_log "renamed, from the list's menu"
# Select the entry and open its menu (the pointer is then already there,
# where a synchronous move would wait for a motion that never comes).
e2e_click "$fx" "$fy"
xdotool click 3
sleep 0.3
xdotool key r # &Rename Mnemonic...
dialog=$(e2e_wait_window '^Rename Mnemonic$' 5)
xdotool key ctrl+a
xdotool type --delay 30 "hello"
xdotool key Return
e2e_wait_until 5 "the new mnemonic to be stored" holds "SELECT Mnemonic FROM tblPhrase" hello

# --- deleted, with Yes -----------------------------------------------------
e2e_log "deleted, with Yes"
xdotool mousemove "$fx" $((fy + 40))
e2e_click "$fx" "$fy"
xdotool click 3
sleep 0.3
xdotool key d # &Delete Item...
e2e_wait_until 5 "the confirmation" e2e_has_message_box "$palette"
xdotool key alt+y
e2e_wait_until 5 "the item to be deleted" holds "SELECT COUNT(*) FROM tblPhrase" 0
e2e_wait_until 5 "the confirmation to close" e2e_has_no_message_box "$palette"
holds "SELECT Description FROM tblCategory" Greetings || e2e_fail "the category went with the item"
e2e_log "PASS"
