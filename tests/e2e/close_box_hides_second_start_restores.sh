#!/usr/bin/env bash
# The close box only hides the palette; starting the program again brings
# the same palette back at once and the second process ends by itself.
source "$(dirname "$0")/common.sh" "$1"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:one,two"
e2e_use_library "$library"

e2e_start_blurtle
first=$E2E_LAST_PID
wid=$(e2e_wait_palette)
before=$(e2e_geometry "$wid")

# The close button first, then Alt+F4: both ask the window manager to
# close the window, and both only hide it.
for way in e2e_click_close_button e2e_close_box; do
  "$way" "$wid"
  e2e_wait_until 5 "$way to hide the palette" e2e_is_unmapped "$wid"
  sleep 0.3
  kill -0 "$first" 2>/dev/null || e2e_fail "$way ended the program"

  started=$(e2e_now_ms)
  e2e_start_blurtle
  second=$E2E_LAST_PID
  e2e_wait_until 5 "the palette to come back" e2e_is_viewable "$wid"
  shown=$(e2e_now_ms)
  e2e_log "after $way: palette back $((shown - started)) ms after the second start"
  e2e_wait_exit "$second" 5
  wait "$second" && status=0 || status=$?
  [ "$status" -eq 0 ] || e2e_fail "the second start ended with status $status"
  kill -0 "$first" 2>/dev/null || e2e_fail "the first palette is gone"
  [ "$(e2e_window_count "$E2E_PALETTE_TITLE")" -eq 1 ] || e2e_fail "more than one palette"
  e2e_has_net_state "$wid" _NET_WM_STATE_ABOVE || e2e_fail "no longer top-most"
  after=$(e2e_geometry "$wid")
  [ "$before" = "$after" ] || e2e_fail "the palette came back elsewhere: $before -> $after"
done
e2e_log "PASS"
