# Helpers for end-to-end tests on a real Wayland compositor, on top of
# lib.sh and blurtle.sh: a headless sway with no X server, a pointer of our
# own (tests/e2e/wayland/wayland_pointer), keys through wtype, windows read
# from sway's tree. Source it from a test script:
#
#   source scripts/e2e/lib.sh; source scripts/e2e/blurtle.sh
#   source scripts/e2e/wayland.sh
#   wl_begin "$@"        # as an unprivileged user: sway, home, pointer
#
# sway refuses to run as root; under root the script runs itself again as
# the user "nobody", with a home and runtime directory of its own.
#
# Arguments every Wayland test takes, in this order:
#   BLURTLE WAYLAND_POINTER GTK_TEXT_VIEW QT_TEXT_SOURCE

WL_WIDTH=1280
WL_HEIGHT=800

wl_begin() {
  if [ "$(id -u)" -eq 0 ]; then
    wl_rerun_as_nobody "$@"
  fi
  BLURTLE=$(readlink -f "$1")
  WL_POINTER_CLIENT=$(readlink -f "$2")
  GTK_TEXT_VIEW=$(readlink -f "$3")
  QT_TEXT_SOURCE=$(readlink -f "$4")
  export BLURTLE QT_TEXT_SOURCE

  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/blurtle-wl-XXXXXX")
  mkdir -p "$E2E_TMP/logs"
  trap e2e_cleanup EXIT
  trap 'e2e_log "FAIL: interrupted (time limit ${E2E_LIMIT:-90}s?)"; exit 124' INT TERM
  (sleep "${E2E_LIMIT:-90}" && kill -TERM $$) >/dev/null 2>&1 &
  E2E_PIDS+=("$!")
  e2e_make_home
  unset DISPLAY XAUTHORITY || true
  # Every client native on Wayland; Qt's own title bar off, so a window's
  # inside starts where sway puts it.
  export QT_QPA_PLATFORM=wayland GDK_BACKEND=wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=1
  wl_start_sway
  wl_start_pointer
}

# Runs the test again as "nobody" and exits with its status. The checkout
# may lie where nobody can't read (root's home): the script, these helpers
# and the programs are staged in a folder of their own first.
wl_rerun_as_nobody() {
  local stage helpers status arg args=()
  helpers=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  stage=$(mktemp -d /tmp/blurtle-wl-stage-XXXXXX)
  mkdir -p "$stage/tests/e2e/wayland" "$stage/scripts/e2e" "$stage/bin"
  cp "$(readlink -f "$0")" "$stage/tests/e2e/wayland/"
  cp "$helpers"/*.sh "$stage/scripts/e2e/"
  for arg in "$@"; do
    cp "$(readlink -f "$arg")" "$stage/bin/"
    args+=("$stage/bin/$(basename "$arg")")
  done
  chmod -R a+rX "$stage"
  cd "$stage"
  status=0
  setpriv --reuid=65534 --regid=65534 --clear-groups -- env TMPDIR=/tmp \
    bash "$stage/tests/e2e/wayland/$(basename "$0")" "${args[@]}" || status=$?
  rm -rf "$stage"
  exit "$status"
}

wl_start_sway() {
  local config="$E2E_TMP/sway.conf"
  # No X server at all. Every window floats, so it stays where it is put
  # and a window mapped anew is placed by sway (in the middle): a palette
  # that unmaps during a drag shows up somewhere else.
  cat >"$config" <<EOF
xwayland disable
output HEADLESS-1 mode ${WL_WIDTH}x${WL_HEIGHT} position 0 0
default_border none
default_floating_border none
for_window [title=".*"] floating enable
EOF
  WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    e2e_start sway sway -c "$config"
  e2e_wait_until 10 "sway to open its Wayland socket" wl_has_socket
  WAYLAND_DISPLAY=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-? | head -n 1)")
  SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -n 1)
  export WAYLAND_DISPLAY SWAYSOCK
  e2e_wait_until 10 "sway to answer" swaymsg -t get_version
  e2e_log "sway on $WAYLAND_DISPLAY"
}

wl_has_socket() { compgen -G "$XDG_RUNTIME_DIR/wayland-?" && compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock"; }

# The pointer client reads its commands from a pipe this shell holds open
# on descriptor 7 and answers each on descriptor 8.
wl_start_pointer() {
  mkfifo "$E2E_TMP/pointer.in" "$E2E_TMP/pointer.out"
  e2e_start pointer sh -c "exec '$WL_POINTER_CLIENT' $WL_WIDTH $WL_HEIGHT \
    <'$E2E_TMP/pointer.in' >'$E2E_TMP/pointer.out'"
  exec 7>"$E2E_TMP/pointer.in" 8<"$E2E_TMP/pointer.out"
}

# Sends one command to the pointer and waits until sway has handled it.
#   wl_pointer move X Y | down [BUTTON] | up [BUTTON]
wl_pointer() {
  local answer
  printf '%s\n' "$*" >&7
  read -r -t 5 answer <&8 || e2e_fail "the pointer did not answer [$*]"
}

wl_move() { wl_pointer move "$1" "$2"; }

# A drag with the left button from one point to another, held at the end
# (see e2e_drag_hold): small steps past the drag distance, then a walk.
#   wl_drag_hold FROM_X FROM_Y TO_X TO_Y
wl_drag_hold() {
  local fx=$1 fy=$2 tx=$3 ty=$4 i
  wl_move "$fx" "$fy"
  sleep 0.1
  wl_pointer down
  for i in 2 4 6 8 12 16 20; do
    wl_move $((fx + i)) $((fy + i))
    sleep 0.03
  done
  for i in 1 2 3 4 5 6 7 8; do
    wl_move $((fx + (tx - fx) * i / 8)) $((fy + (ty - fy) * i / 8))
    sleep 0.03
  done
  wl_move "$tx" "$ty"
  sleep 0.2
}

wl_drag() {
  wl_drag_hold "$@"
  wl_pointer up
}

# Keys through a virtual keyboard: wtype loses the first key unless it
# waits a moment after it starts.
#   wl_keys -k Escape | wl_keys -M ctrl a -m ctrl
wl_keys() { wtype -s 300 "$@"; }

# --- windows ---------------------------------------------------------------

# Sway's view of the windows whose title matches the regular expression,
# one a line: "X Y W H SHELL VISIBLE" (X Y W H of the window's inside in
# output coordinates).
wl_windows() {
  swaymsg -t get_tree | jq -r --arg title "$1" '
    .. | objects | select(.pid? != null and .name? != null)
    | select(.name | test($title))
    | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height) \(.shell) \(.visible)"'
}

wl_has_window() { [ -n "$(wl_windows "$1")" ]; }

# Waits for a window with the title and prints its "X Y W H SHELL VISIBLE".
wl_wait_window() {
  e2e_wait_until "${2:-20}" "a window titled /$1/" wl_has_window "$1"
  wl_windows "$1" | head -n 1
}

# "X Y" of the window's inside.
wl_position() { wl_windows "$1" | head -n 1 | cut -d' ' -f1,2; }

# Moves the window whose title matches the regular expression (its inside)
# to X Y, as the user would once.
wl_place() {
  swaymsg "[title=\"$1\"] move position $2 $3" >/dev/null
  e2e_wait_until 5 "/$1/ to stand at $2 $3" wl_stands_at "$1" "$2" "$3"
}
wl_stands_at() { [ "$(wl_position "$1")" = "$2 $3" ]; }

# Output coordinates of a point given relative to the window's inside.
wl_point_in() {
  local x y
  read -r x y _ <<<"$(wl_windows "$1" | head -n 1)"
  echo $((x + $2)) $((y + $3))
}

# --- programs on the other side ---------------------------------------------

# Opens the GTK text view on TEXT with SELECTION_LENGTH characters selected
# from SELECTION_START, placed at X Y; its whole text is kept in OUT.
#   wl_open_gtk OUT TEXT SELECTION_START SELECTION_LENGTH X Y
wl_open_gtk() {
  local out=$1
  rm -f "$out" "$out.point"
  e2e_start "gtk-$(basename "$out")" "$GTK_TEXT_VIEW" "$out" "$2" "$3" "$4"
  wl_wait_window "^GTK text - $(basename "$out")\$" >/dev/null
  wl_place "^GTK text - $(basename "$out")\$" "$5" "$6"
  e2e_wait_until 5 "the GTK view to tell where its selection is" test -s "$out.point"
}

# The same for our Qt editor (tests/e2e/qt_text_source.cpp).
wl_open_qt() {
  local out=$1
  rm -f "$out" "$out.point"
  e2e_start "qt-$(basename "$out")" "$QT_TEXT_SOURCE" "$out" "$2" "$3" "$4"
  wl_wait_window "^Qt text source - $(basename "$out")\$" >/dev/null
  wl_place "^Qt text source - $(basename "$out")\$" "$5" "$6"
  e2e_wait_until 5 "the Qt editor to tell where its selection is" test -s "$out.point"
}

# The middle of a text view's selection in output coordinates: "X Y".
#   wl_selection_point OUT TITLE
wl_selection_point() {
  local rx ry
  read -r rx ry <"$1.point"
  wl_point_in "$2" "$rx" "$ry"
}

# Whether FILE holds exactly TEXT (printf escapes allowed in TEXT).
wl_file_is() { [ "$(cat "$1"; printf x)" = "$(printf "$2"; printf x)" ]; }
