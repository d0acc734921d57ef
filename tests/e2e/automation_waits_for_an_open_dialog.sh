#!/usr/bin/env bash
# An automation start while the user is typing in the item editor: the
# running palette stays with the user until the editor is done, keeps what
# was typed, and only then closes for the process started for automation.
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:one,two"
e2e_use_library "$library"
e2e_start_session_bus
mnemonics() { sqlite3 "$library" "SELECT Mnemonic FROM tblPhrase ORDER BY ZOrder" | paste -sd,; }
automated_pid() { pgrep -f "^$BLURTLE --automation$" || true; }
running_automated() { [ -n "$(automated_pid)" ]; }

e2e_start_blurtle
normal=$E2E_LAST_PID
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
sleep 0.3

# --- the user is typing in the item editor ----------------------------------
read -r x y <<<"$(e2e_point_in "$palette" 40 89)"
xdotool mousemove --sync "$x" "$y" click --repeat 2 --delay 80 1
editor=$(e2e_wait_window '^Blurtle Item Properties$' 5)
xdotool key alt+m ctrl+a
xdotool type --delay 30 "ke"

# --- the first script call of the session starts the automation process -----
e2e_log "a client asks for an object"
gdbus call --session --dest Mumblet.Application --object-path / \
  --method Mumblet.ClassFactory.CreateObject >"$E2E_TMP/gdbus.out" ||
  e2e_fail "gdbus could not start the program"
e2e_wait_until 10 "the program to start for automation" running_automated
E2E_PIDS+=("$(automated_pid)")
two_palettes() { [ "$(e2e_window_count "$E2E_PALETTE_TITLE")" = 2 ]; }
e2e_wait_until 10 "the automation process's palette to show" two_palettes
sleep 1
kill -0 "$normal" 2>/dev/null || e2e_fail "the palette closed under the open editor"
e2e_is_viewable "$editor" || e2e_fail "the editor went away"
[ "$(mnemonics)" = "one,two" ] || e2e_fail "the library changed to $(mnemonics)"

# --- the user types on where they were, and is done ------------------------
# No window is activated for them: the keys go where the focus stayed.
xdotool type --delay 30 "pt"
xdotool key alt+o
kept() { [ "$(mnemonics)" = "kept,two" ]; }
e2e_wait_until 5 "the typed mnemonic to be stored" kept
e2e_wait_exit "$normal" 10
running_automated || e2e_fail "the automation process ended"
e2e_log "PASS"
