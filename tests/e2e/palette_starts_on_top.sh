#!/usr/bin/env bash
# The real program starts on a library and shows a top-most palette with
# the first category.
source "$(dirname "$0")/common.sh" "$1"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:one,two,three" "Beta:beta one"
e2e_use_library "$library"

e2e_start_blurtle
wid=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to be viewable" e2e_is_viewable "$wid"
e2e_wait_until 5 "_NET_WM_STATE_ABOVE on the palette" e2e_has_net_state "$wid" _NET_WM_STATE_ABOVE
e2e_output_has '"blurtle"' xprop -id "$wid" WM_CLASS || e2e_fail "WM_CLASS is not blurtle"
e2e_output_has _NET_WM_WINDOW_TYPE_NORMAL xprop -id "$wid" _NET_WM_WINDOW_TYPE ||
  e2e_fail "the palette is not a normal window (no taskbar entry)"
e2e_output_has 'Icon (16 x 16)' xprop -id "$wid" _NET_WM_ICON || e2e_fail "no window icon"
e2e_wait_until 5 "the first category to be remembered" \
  bash -c "[[ \"\$(source '$here/../../scripts/e2e/blurtle.sh'; BLURTLE='$BLURTLE' e2e_setting Category)\" == Alpha* ]]"
[ "$(e2e_window_count "$E2E_PALETTE_TITLE")" -eq 1 ] || e2e_fail "more than one palette"
e2e_log "PASS"
