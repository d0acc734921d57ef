# Helpers for end-to-end tests: a private X server, a window manager, a
# private home, the program under test, and window inspection and input
# through xdotool/xprop. Source it from a test script:
#
#   source "$(dirname "$0")/../../scripts/e2e/lib.sh"
#   e2e_begin            # display, window manager, home; cleanup on exit
#   e2e_start blurtle "$BLURTLE" ...
#   wid=$(e2e_wait_window "^Blurtle \(TM\)$")
#
# Every process started here is killed when the script exits, whatever
# happens. Every wait has a time limit; a helper that times out fails the
# test with a message instead of hanging it.

set -euo pipefail

E2E_PIDS=()
E2E_TMP=""
E2E_FAILED=0

e2e_log() { printf '[e2e %s] %s\n' "$(date +%H:%M:%S.%3N)" "$*" >&2; }

# Fails the test. With E2E_SHOTS naming a folder, a screenshot of the
# screen as it was goes there first.
e2e_fail() {
  E2E_FAILED=1
  e2e_log "FAIL: $*"
  if [ -n "${E2E_SHOTS:-}" ] && [ -n "${DISPLAY:-}" ]; then
    mkdir -p "$E2E_SHOTS"
    import -window root "$E2E_SHOTS/$(basename "$0" .sh)-$(date +%H%M%S).png" 2>/dev/null || true
  fi
  exit 1
}

# Runs "$@" until it succeeds or `timeout` seconds pass.
#   e2e_wait_until SECONDS DESCRIPTION COMMAND...
e2e_wait_until() {
  local timeout=$1 what=$2
  shift 2
  local deadline=$((SECONDS + timeout))
  # SECONDS has a one-second grain; poll every 50 ms.
  while ! "$@" >/dev/null 2>&1; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      e2e_fail "timed out after ${timeout}s waiting for: $what"
    fi
    sleep 0.05
  done
}

e2e_cleanup() {
  local status=$?
  local pid
  # Newest first: the program, then the window manager, then the server.
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${E2E_PIDS[i]}
    kill -TERM "$pid" 2>/dev/null || true
  done
  for pid in "${E2E_PIDS[@]}"; do
    for _ in $(seq 1 40); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
  done
  if [ "$status" -ne 0 ] && [ -n "$E2E_TMP" ] && [ -d "$E2E_TMP/logs" ]; then
    for log in "$E2E_TMP"/logs/*; do
      [ -s "$log" ] || continue
      e2e_log "--- $(basename "$log") ---"
      tail -n 40 "$log" >&2 || true
    done
  fi
  [ -n "$E2E_TMP" ] && rm -rf "$E2E_TMP"
  exit "$status"
}

# Starts a background process whose output goes to logs/NAME and remembers
# it for cleanup; its pid is then in E2E_LAST_PID. Call it directly, not in
# $( ), or the process is not remembered.
#   e2e_start NAME COMMAND...
e2e_start() {
  local name=$1
  shift
  "$@" >>"$E2E_TMP/logs/$name" 2>&1 &
  local pid=$!
  E2E_PIDS+=("$pid")
  E2E_LAST_PID=$pid
}

e2e_free_display() {
  local n
  for n in $(seq 90 190); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

# A private temporary home with its own settings, data, cache and runtime
# directories (the runtime directory holds the single-instance socket).
e2e_make_home() {
  export HOME="$E2E_TMP/home"
  export XDG_CONFIG_HOME="$HOME/.config"
  export XDG_DATA_HOME="$HOME/.local/share"
  export XDG_CACHE_HOME="$HOME/.cache"
  export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY || true
  export QT_QPA_PLATFORM=xcb
}

e2e_start_display() {
  local n tries
  for tries in 1 2 3 4 5; do
    n=$(e2e_free_display) || e2e_fail "no free X display number"
    e2e_start "xvfb-$n" Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset
    export DISPLAY=":$n"
    local deadline=$((SECONDS + 10))
    while [ "$SECONDS" -lt "$deadline" ]; do
      if xdpyinfo >/dev/null 2>&1; then
        e2e_log "X server on $DISPLAY"
        return 0
      fi
      kill -0 "$E2E_LAST_PID" 2>/dev/null || break # lost the race for :n
      sleep 0.05
    done
  done
  e2e_fail "could not start Xvfb"
}

# Under pipefail, "producer | grep -q" fails when grep stops reading early
# and the producer dies of SIGPIPE; match on captured output instead.
e2e_output_has() {
  local pattern=$1 output
  shift
  output=$("$@" 2>/dev/null) || return 1
  grep -q -- "$pattern" <<<"$output"
}

e2e_wm_running() { e2e_output_has 'window id' xprop -root _NET_SUPPORTING_WM_CHECK; }

e2e_start_wm() {
  e2e_start openbox openbox --sm-disable
  e2e_wait_until 10 "openbox to manage the screen" e2e_wm_running
}

# Display, window manager and home, with cleanup on exit.
# E2E_LIMIT (seconds, default 90) bounds the whole test: past it the test
# fails and everything is cleaned up, so nothing ever hangs.
e2e_begin() {
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/blurtle-e2e-XXXXXX")
  mkdir -p "$E2E_TMP/logs"
  trap e2e_cleanup EXIT
  trap 'e2e_log "FAIL: interrupted (time limit ${E2E_LIMIT:-90}s?)"; exit 124' INT TERM
  (sleep "${E2E_LIMIT:-90}" && kill -TERM $$) >/dev/null 2>&1 &
  E2E_PIDS+=("$!")
  e2e_make_home
  e2e_start_display
  e2e_start_wm
}

# --- windows ---------------------------------------------------------------

# Visible top-level windows whose title matches the regular expression.
e2e_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }

e2e_window_count() { e2e_windows "$1" | grep -c . || true; }

# Waits for exactly one visible window matching the title and prints it.
e2e_wait_window() {
  local title=$1 timeout=${2:-15}
  e2e_wait_until "$timeout" "a window titled /$title/" e2e_has_window "$title"
  e2e_windows "$title" | head -n 1
}
e2e_has_window() { [ -n "$(e2e_windows "$1")" ]; }
e2e_has_no_window() { [ -z "$(e2e_windows "$1")" ]; }

e2e_is_viewable() { e2e_output_has 'Map State: IsViewable' xwininfo -id "$1"; }
e2e_is_unmapped() { ! e2e_is_viewable "$1"; }

# Whether _NET_WM_STATE of the window holds the given state atom.
e2e_has_net_state() { e2e_output_has "$2" xprop -id "$1" _NET_WM_STATE; }

# The window's position (of its inside) and size: "X Y W H".
e2e_geometry() {
  xwininfo -id "$1" | awk '
    /Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# The title of the active window, or nothing.
e2e_active_title() {
  local active
  active=$(xdotool getactivewindow 2>/dev/null) || return 0
  xdotool getwindowname "$active" 2>/dev/null || true
}

# Makes the window the active one and waits until it is, for at most 5
# seconds: a foreground command that waits for ever would also hold off
# the test's own time limit.
e2e_activate() { timeout 5 xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true; }

# Asks the window manager to close the window as its close box does
# (openbox's Alt+F4 binding sends the same WM_DELETE_WINDOW request).
e2e_close_box() {
  e2e_activate "$1"
  xdotool key --clearmodifiers alt+F4
}

# The window manager's frame around a client window: "X Y W H".
e2e_frame_geometry() {
  local frame
  frame=$(xwininfo -id "$1" -tree | awk '/Parent window id:/ {print $4}')
  e2e_geometry "$frame"
}

# Clicks the close button at the right end of the title bar (openbox's
# default layout puts it there, its centre about 10 px in from the frame's
# right and top edges).
e2e_click_close_button() {
  local geo
  read -r -a geo <<<"$(e2e_frame_geometry "$1")"
  e2e_click $((geo[0] + geo[2] - 10)) $((geo[1] + 10))
}

# Moves the window (its frame) to X Y through the window manager.
e2e_move_window() { xdotool windowmove --sync "$1" "$2" "$3"; }

# --- pointer and keys ------------------------------------------------------

e2e_key() { e2e_activate "$1"; xdotool key --clearmodifiers "$2"; }

# Screen coordinates of a point given relative to the window's inside.
e2e_point_in() {
  local geo
  read -r -a geo <<<"$(e2e_geometry "$1")"
  echo $((geo[0] + $2)) $((geo[1] + $3))
}

e2e_click() { xdotool mousemove --sync "$1" "$2" click "${3:-1}"; }

# A real drag with the left button: press, a few small moves past any
# drag-start distance, then a walk to the target and a release. A pause
# between steps gives the source's drag loop time to take each move.
#   e2e_drag FROM_X FROM_Y TO_X TO_Y [STEP_PAUSE]
e2e_drag() {
  e2e_drag_hold "$@"
  xdotool mouseup 1
}

# The same drag up to the target, with the button still held there.
#   e2e_drag_hold FROM_X FROM_Y TO_X TO_Y [STEP_PAUSE]
e2e_drag_hold() {
  local fx=$1 fy=$2 tx=$3 ty=$4 pause=${5:-0.05}
  xdotool mousemove --sync "$fx" "$fy"
  sleep "$pause"
  xdotool mousedown 1
  local i
  for i in 2 4 6 8 12 16 20; do
    xdotool mousemove "$((fx + i))" "$((fy + i))"
    sleep "$pause"
  done
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove "$((fx + (tx - fx) * i / 8))" "$((fy + (ty - fy) * i / 8))"
    sleep "$pause"
  done
  xdotool mousemove "$tx" "$ty"
  sleep "$pause"
}

# A screenshot of the whole screen, or of one window with a second argument.
e2e_screenshot() {
  if [ $# -ge 2 ]; then
    import -window "$2" "$1"
  else
    import -window root "$1"
  fi
}

# Milliseconds since the epoch.
e2e_now_ms() { date +%s%3N; }
