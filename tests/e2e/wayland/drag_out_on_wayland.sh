#!/usr/bin/env bash
# The palette as a native Wayland client on headless sway with no X server:
# 1. it is an xdg_shell window; a resize is remembered, the place
#    remembered under X11 is kept;
# 2. drag-out of every punctuation code and of non-ASCII text into a
#    native GTK and a native Qt program arrives exact (table below);
# 3. after every drag the palette stands where it was, at its size,
#    within a second (a window mapped anew would be put in the middle);
# 4. a drop released where the palette stands reaches the program
#    beneath it.
source "$(dirname "$0")/../../../scripts/e2e/lib.sh"
source "$(dirname "$0")/../../../scripts/e2e/blurtle.sh"
source "$(dirname "$0")/../../../scripts/e2e/wayland.sh"
wl_begin "$@"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:phrase"
e2e_use_library "$library"
# A place and size remembered under X11.
printf 'x=333\ny=222\ncx=200\ncy=400\n' >>"$(e2e_settings_file)"

e2e_start_blurtle
palette='^Blurtle \(TM\)$'
read -r _ _ w h shell _ <<<"$(wl_wait_window "$palette")"
[ "$shell" = xdg_shell ] || e2e_fail "the palette is a $shell window, not a native one"
[ "$w $h" = "200 400" ] || e2e_fail "the remembered size 200 400 was not given back: $w $h"
swaymsg "[title=\"$palette\"] resize set 220 450" >/dev/null
remembered_size() { [ "$(e2e_setting cx) $(e2e_setting cy)" = "220 450" ]; }
e2e_wait_until 5 "the new size to be remembered" remembered_size
sleep 0.6 # the placement is written once it has settled
[ "$(e2e_setting x) $(e2e_setting y)" = "333 222" ] ||
  e2e_fail "the X11 place was overwritten: $(e2e_setting x) $(e2e_setting y)"
e2e_log "native xdg_shell window; size remembered, X11 place kept"

wl_place "$palette" 900 60
where="900 60 220 450"
standing() { [ "$(wl_windows "$palette" | cut -d' ' -f1-4)" = "$where" ]; }
read -r fx fy <<<"$(wl_point_in "$palette" 40 113)"

# One drag-out of the one item into a fresh target at TARGET_AT, dropped
# at DROP_AT (or in the target's middle), with the item's text and
# punctuation set first (the drag reads the row at the press).
#   drag_case TARGET LEADING TRAILING DATA EXPECTED
n=0
TARGET_AT="40 40"
DROP_AT=""
drag_case() {
  local target=$1 leading=$2 trailing=$3 data=$4 expected=$5 out
  n=$((n + 1))
  out="$E2E_TMP/$target-$n.txt"
  sqlite3 "$library" "UPDATE tblPhrase SET Data = '$data', PunctuationLeading = $leading,
                      PunctuationTrailing = $trailing"
  if [ "$target" = gtk ]; then
    wl_open_gtk "$out" "" 0 0 $TARGET_AT
    local title="^GTK text - $(basename "$out")\$"
  else
    wl_open_qt "$out" "" 0 0 $TARGET_AT
    local title="^Qt text source - $(basename "$out")\$"
  fi
  local pid=$E2E_LAST_PID to
  # A new window floats on top: bring the palette over it again.
  swaymsg "[title=\"$palette\"] focus" >/dev/null
  to=${DROP_AT:-$(wl_point_in "$title" 300 100)}
  # shellcheck disable=SC2086 # "X Y"
  wl_drag "$fx" "$fy" $to
  e2e_wait_until 5 "[$expected] in $target, it has [$(cat "$out")]" wl_file_is "$out" "$expected"
  e2e_wait_until 1 "the palette back at $where, it is at [$(wl_windows "$palette")]" standing
  kill -TERM "$pid"
  e2e_wait_exit "$pid" 5
  e2e_log "case $n: [$expected] in $target, the palette where it was"
}

# target  leading trailing  data                     expected
drag_case gtk     1       4  'Grüße — 😀9|'            ' Grüße — 😀\n\n\n'
drag_case qt      4       1  'Grüße — 😀9|'            '\n\nGrüße — 😀 '
drag_case gtk     2       3  'Ελληνικά ✓9|'            '  Ελληνικά ✓\n'
drag_case qt      3       2  'naïve café9|'            '\nnaïve café  '
drag_case gtk     0       0  'plain9|'                 'plain'
# Released where the palette stands: the GTK view beneath takes it.
TARGET_AT="700 40"
DROP_AT="950 200"
drag_case gtk     0       0  'beneath9|'               'beneath'
e2e_log "PASS"
