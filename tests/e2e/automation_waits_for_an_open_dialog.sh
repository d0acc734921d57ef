#!/usr/bin/env bash
# An automation start while the user types in the item editor: the running
# palette closes only once the editor is done, and the keys stay with it.
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:one,two"
e2e_use_library "$library"
e2e_start_session_bus
automated_pid() { pgrep -f "^$BLURTLE --automation$" || true; }
two_palettes() { [ "$(e2e_window_count "$E2E_PALETTE_TITLE")" = 2 ]; }
kept() { [ "$(sqlite3 "$library" "SELECT Mnemonic FROM tblPhrase ORDER BY ZOrder" | paste -sd,)" = "kept,two" ]; }

e2e_start_blurtle
normal=$E2E_LAST_PID
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
sleep 0.3
read -r x y <<<"$(e2e_point_in "$palette" 40 113)"
xdotool mousemove --sync "$x" "$y" click --repeat 2 --delay 80 1
e2e_wait_window '^Blurtle Item Properties$' 5 >/dev/null
xdotool key alt+m ctrl+a
xdotool type --delay 30 "ke"
gdbus call --session --dest Mumblet.Application --object-path / \
  --method Mumblet.ClassFactory.CreateObject >/dev/null || e2e_fail "gdbus could not start the program"
e2e_wait_until 10 "the automation process's palette to show" two_palettes
E2E_PIDS+=("$(automated_pid)")
sleep 1
xdotool type --delay 30 "pt"
xdotool key alt+o
e2e_wait_until 5 "the typed mnemonic to be stored" kept
e2e_wait_exit "$normal" 10
[ -n "$(automated_pid)" ] || e2e_fail "the automation process ended"
e2e_log "PASS"
