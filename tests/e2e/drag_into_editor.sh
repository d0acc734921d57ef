#!/usr/bin/env bash
# A mnemonic dragged into a stock editor drops its composed text there:
# two spaces (leading code 2), the text, one space (trailing code 1). The
# palette is out of the way while the pointer is over the editor and back
# after the drop, and the keyboard stays with the editor. A drop with the
# pointer held still where the palette was lands in the editor beneath. An
# item of another category found with the find field drags its own text.
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:greet" "Beta:bye"
sqlite3 "$library" "UPDATE tblPhrase SET Data = 'Hello there9|', PunctuationLeading = 2,
                    PunctuationTrailing = 1;
                    UPDATE tblPhrase SET Data = 'Goodbye for now9|' WHERE Mnemonic = 'bye'"
e2e_use_library "$library"

e2e_start_session_bus
target="$E2E_TMP/target.txt"
: >"$target"
e2e_open_editor "$target" 0 0 700 500

e2e_start_blurtle
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
e2e_move_window "$palette" 800 60
saved() { [ "$(cat "$target")" = "$expected" ]; }
sleep 0.3

# --- 1: a drag across to the editor ----------------------------------------
read -r fx fy <<<"$(e2e_point_in "$palette" 40 113)"
xdotool mousemove --sync "$fx" "$fy"
sleep 0.1
xdotool mousedown 1
for i in 3 6 9 12; do xdotool mousemove $((fx - i)) $((fy + i)); sleep 0.05; done
for x in 700 550 400 300; do xdotool mousemove "$x" 200; sleep 0.08; done
e2e_wait_until 3 "the palette to hide during the drag" e2e_is_unmapped "$palette"
xdotool mousemove 305 205
sleep 0.2
xdotool mouseup 1
e2e_wait_until 3 "the palette to come back after the drop" e2e_is_viewable "$palette"
sleep 0.5
active=$(e2e_active_title)
[[ "$active" == *Mousepad ]] || e2e_fail "the palette took the focus: active is '$active'"
# The keyboard is still the editor's: its save shortcut works, and what is
# typed next lands in the document.
expected="  Hello there "
e2e_save_focused
e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$target")]" saved
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 40 "Z"
e2e_save_focused
expected="  Hello there Z"
e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$target")]" saved
e2e_log "dropped and typed: [$(cat "$target")]"

# --- 2: a drop with the pointer held still where the palette was ----------
xdotool key --clearmodifiers ctrl+a Delete
e2e_save_focused
expected=""
e2e_wait_until 5 "the editor to save an empty document" saved
e2e_move_window "$palette" 200 100
sleep 0.3
read -r fx fy <<<"$(e2e_point_in "$palette" 40 113)"
xdotool mousemove --sync "$fx" "$fy"
sleep 0.1
xdotool mousedown 1
for i in 2 4 6 8; do xdotool mousemove $((fx + i)) "$fy"; sleep 0.05; done
e2e_wait_until 3 "the palette to hide during the drag" e2e_is_unmapped "$palette"
sleep 0.4 # the pointer stays over where the palette was
xdotool mouseup 1
e2e_wait_until 3 "the palette to come back after the drop" e2e_is_viewable "$palette"
sleep 0.3
e2e_save_focused
expected="  Hello there "
e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$target")]" saved

# --- 3: an item of another category, found by a word of its text ----------
xdotool key --clearmodifiers ctrl+a Delete
e2e_save_focused
expected=""
e2e_wait_until 5 "the editor to save an empty document" saved
read -r x y <<<"$(e2e_point_in "$palette" 60 76)" # the find field
e2e_click "$x" "$y"
sleep 0.3
xdotool type --delay 40 "GOODBYE"
sleep 0.5
read -r fx fy <<<"$(e2e_point_in "$palette" 40 113)"
e2e_drag "$fx" "$fy" 305 205
e2e_wait_until 3 "the palette to come back after the drop" e2e_is_viewable "$palette"
sleep 0.3
e2e_save_focused
expected="  Goodbye for now "
e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$target")]" saved
e2e_log "PASS"
