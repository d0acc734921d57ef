#!/usr/bin/env bash
# Escape and the right button cancel: nothing is dropped anywhere and the
# palette goes on.
# 0. Escape while the button is held on a mnemonic, before any drag: the
#    press is cancelled, no drag starts and the program does not end.
# 1-3. During a drag over a stock editor (the palette hidden, so the
#    editor has the keyboard focus): Escape held a moment, a quick Escape,
#    or a right-button click cancels the drag; the release that follows
#    drops nothing, and the palette comes back.
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:greet"
sqlite3 "$library" "UPDATE tblPhrase SET Data = 'Hello there9|'"
e2e_use_library "$library"

e2e_start_session_bus
target="$E2E_TMP/target.txt"
: >"$target"
e2e_open_editor "$target" 0 0 700 500

e2e_start_blurtle
blurtle_pid=$E2E_LAST_PID
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
e2e_move_window "$palette" 800 60
sleep 0.3
saved() { [ "$(cat "$target")" = "$expected" ]; }
alive() { kill -0 "$blurtle_pid" 2>/dev/null || e2e_fail "the program ended ($1)"; }
read -r fx fy <<<"$(e2e_point_in "$palette" 40 113)"

# Types MARK at the end of the editor's document and saves it: the saved
# text shows whether anything was dropped before.
mark_and_check() {
  e2e_activate "$E2E_EDITOR"
  xdotool key --clearmodifiers ctrl+End
  xdotool type --delay 40 "$1"
  e2e_save_focused
  expected=$2
  e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$target")]" saved
}

# --- 0: Escape during the press --------------------------------------------
xdotool mousemove --sync "$fx" "$fy"
sleep 0.1
xdotool mousedown 1
sleep 0.1
xdotool keydown Escape
sleep 0.1
xdotool keyup Escape
sleep 1 # longer than a press held still takes to start a drag
e2e_is_viewable "$palette" || e2e_fail "a drag started after Escape cancelled the press"
xdotool mouseup 1
sleep 0.3
alive "Escape during a press"
e2e_is_viewable "$palette" || e2e_fail "the palette went away after Escape during a press"
e2e_log "Escape during the press: the palette stays"

# --- 1-3: cancelling a running drag ----------------------------------------
# Drags the mnemonic over the editor and holds it there.
drag_over_editor() {
  # (No --sync: it waits long for a move when the pointer is already there.)
  xdotool mousemove "$fx" "$fy"
  sleep 0.15
  xdotool mousedown 1
  for i in 3 6 9 12; do xdotool mousemove $((fx - i)) $((fy + i)); sleep 0.05; done
  for x in 700 550 400 300; do xdotool mousemove "$x" 200; sleep 0.08; done
  e2e_wait_until 3 "the palette to hide during the drag" e2e_is_unmapped "$palette"
  xdotool mousemove 305 205
  sleep 0.2
}

# Lets go of the (cancelled) drag over the editor.
release_over_editor() {
  sleep 0.2
  xdotool mousemove 310 210
  sleep 0.2
  xdotool mouseup 1
  e2e_wait_until 3 "the palette to come back after the drag" e2e_is_viewable "$palette"
  alive "$1"
}

drag_over_editor
xdotool keydown Escape
sleep 0.1
xdotool keyup Escape
release_over_editor "Escape held during a drag"
mark_and_check "A" "A"
e2e_log "Escape held: nothing dropped"

drag_over_editor
xdotool key Escape
release_over_editor "a quick Escape during a drag"
mark_and_check "B" "AB"
e2e_log "quick Escape: nothing dropped"

drag_over_editor
xdotool click 3
release_over_editor "the right button during a drag"
mark_and_check "C" "ABC"
e2e_log "right button: nothing dropped"

# A drag after all that still drops.
xdotool key --clearmodifiers ctrl+a Delete
e2e_save_focused
expected=""
e2e_wait_until 5 "the editor to save an empty document" saved
drag_over_editor
xdotool mouseup 1
e2e_wait_until 3 "the palette to come back after the drop" e2e_is_viewable "$palette"
sleep 0.3
e2e_activate "$E2E_EDITOR"
e2e_save_focused
expected="Hello there  "
e2e_wait_until 5 "the editor to save [$expected], it has [$(cat "$target")]" saved
e2e_log "PASS"
