#!/usr/bin/env bash
# A restart shows the category chosen last, at the place the palette was
# moved to.
source "$(dirname "$0")/common.sh" "$1"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:one,two" "Beta:beta one"
e2e_use_library "$library"

e2e_start_blurtle
first=$E2E_LAST_PID
wid=$(e2e_wait_palette)
category_is() { [[ "$(e2e_setting Category)" == "$1"* ]]; }
e2e_wait_until 5 "Alpha to be shown" category_is Alpha

# Choose the second category with the keyboard: Alt+C focuses the
# selector, Down selects the next entry.
e2e_key "$wid" alt+c
xdotool key --clearmodifiers Down
e2e_wait_until 5 "Beta to be chosen" category_is Beta

e2e_move_window "$wid" 333 144
placed() { [ "$(e2e_setting x)" != "" ] && [ "$(e2e_geometry "$wid")" = "$1" ]; }
sleep 0.2
moved=$(e2e_geometry "$wid")
e2e_wait_until 5 "the placement to be written" placed "$moved"
e2e_log "moved to $moved; settings x=$(e2e_setting x) y=$(e2e_setting y)"

# Escape ends the program.
e2e_key "$wid" Escape
e2e_wait_exit "$first" 10

e2e_start_blurtle
wid=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to be placed" e2e_is_viewable "$wid"
sleep 0.5
again=$(e2e_geometry "$wid")
[ "$again" = "$moved" ] || e2e_fail "restarted at $again instead of $moved"
category_is Beta || e2e_fail "restarted on $(e2e_setting Category | cut -c1-20)"
e2e_log "PASS"
