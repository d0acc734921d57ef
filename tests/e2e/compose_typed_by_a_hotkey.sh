#!/usr/bin/env bash
# The README's hotkey line: an item composed on the command line and typed
# into the program that has the keyboard, with no palette and no mouse.
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Greetings:hello"
sqlite3 "$library" "UPDATE tblPhrase SET Data = 'Hello, world!9|', PunctuationLeading = 2,
                    PunctuationTrailing = 1"
e2e_use_library "$library"

e2e_start_session_bus
target="$E2E_TMP/target.txt"
: >"$target"
e2e_open_editor "$target" 0 0 700 500
saved() { [ "$(cat "$target"; echo .)" = "$expected" ]; }

sh -c "'$BLURTLE' --compose 'Greetings/hello' | xdotool type --file -"
e2e_save_focused
expected='  Hello, world! .'
e2e_wait_until 5 "the editor to hold the item's text" saved
[ -z "$(e2e_windows "$E2E_PALETTE_TITLE")" ] || e2e_fail "a palette was shown"

e2e_log "PASS"
