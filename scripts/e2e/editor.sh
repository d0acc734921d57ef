# A stock text editor (mousepad) for drag-and-drop end-to-end tests, on top
# of lib.sh: the program on the other side of a real drag.
#   source scripts/e2e/lib.sh; source scripts/e2e/editor.sh

# A session bus of the test's own: the editor registers on it.
e2e_start_session_bus() {
  local output
  output=$(dbus-launch --sh-syntax) || e2e_fail "could not start a session bus"
  eval "$output"
  E2E_PIDS+=("$DBUS_SESSION_BUS_PID")
}

# Opens FILE in the editor, placed at X Y with size W H; prints its window.
#   wid=$(e2e_start_editor FILE X Y W H)   -- call through a variable, as
#   e2e_start must run in this shell: use e2e_open_editor instead.
# Sets E2E_EDITOR to the editor's window.
e2e_open_editor() {
  local file=$1 x=$2 y=$3 w=$4 h=$5 name
  name=$(basename "$file")
  e2e_start mousepad mousepad "$file"
  E2E_EDITOR=$(e2e_wait_window "^\*?$(printf '%s' "$file" | sed 's/[.]/\\./g').* - Mousepad$" 20)
  xdotool windowmove --sync "$E2E_EDITOR" "$x" "$y" >/dev/null 2>&1 || true
  xdotool windowsize --sync "$E2E_EDITOR" "$w" "$h" >/dev/null 2>&1 || true
  e2e_activate "$E2E_EDITOR"
  e2e_log "editor $E2E_EDITOR on $name at $(e2e_geometry "$E2E_EDITOR")"
}

# Saves the editor's document with its keyboard shortcut, sent to whatever
# window has the focus (the editor, if nothing took it away).
e2e_save_focused() {
  xdotool key --clearmodifiers ctrl+s
}

# The screen row (y) of the first selected line in the editor: the first
# pixel row at column X (screen) whose colour is the selection's blue.
e2e_selection_row() {
  local wid=$1 column=$2 geo shot
  read -r -a geo <<<"$(e2e_geometry "$wid")"
  shot="$E2E_TMP/selection.png"
  import -window root -crop "1x${geo[3]}+${column}+${geo[1]}" "$shot" 2>/dev/null || return 1
  # Captured first: awk stops at the first match, which would end the
  # converter with SIGPIPE and fail the pipeline under pipefail.
  local pixels
  pixels=$(convert "$shot" -depth 8 txt:- 2>/dev/null) || return 1
  awk -v top="${geo[1]}" -F'[(),: ]+' '
    NR > 1 {
      # "0,Y: (R,G,B)  #RRGGBB  srgb(...)": blue clearly above red and green
      r = $3; g = $4; b = $5
      if (b > 150 && b > r + 60 && b > g + 20) { print top + $2; exit }
    }' <<<"$pixels"
}

# The middle of the selection in the editor's first HEIGHT pixel rows
# (default 150), in screen coordinates: "X Y", or nothing when no
# selection shows there.
e2e_selection_center() {
  local wid=$1 height=${2:-150} geo shot pixels
  read -r -a geo <<<"$(e2e_geometry "$wid")"
  shot="$E2E_TMP/selection-area.png"
  import -window root -crop "${geo[2]}x${height}+${geo[0]}+${geo[1]}" "$shot" 2>/dev/null ||
    return 1
  pixels=$(convert "$shot" -depth 8 txt:- 2>/dev/null) || return 1
  awk -v left="${geo[0]}" -v top="${geo[1]}" -F'[(),: ]+' '
    NR > 1 {
      # "X,Y: (R,G,B)  #RRGGBB  srgb(...)": blue clearly above red and green
      r = $3; g = $4; b = $5
      if (b > 150 && b > r + 60 && b > g + 20) {
        if (n == 0 || $1 < x0) x0 = $1
        if (n == 0 || $1 > x1) x1 = $1
        if (n == 0 || $2 < y0) y0 = $2
        if (n == 0 || $2 > y1) y1 = $2
        n++
      }
    }
    END { if (n > 0) print left + int((x0 + x1) / 2), top + int((y0 + y1) / 2) }' <<<"$pixels"
}
