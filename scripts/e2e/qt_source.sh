# A small Qt editor of our own (tests/e2e/qt_text_source.cpp) as the
# source of drags from a Qt program, on top of lib.sh. QT_TEXT_SOURCE must
# name its executable.
#   source scripts/e2e/lib.sh; source scripts/e2e/qt_source.sh

# Opens the editor on TEXT with SELECTION_LENGTH characters selected from
# SELECTION_START, placed at X Y. Its whole text is kept in OUT. Sets
# E2E_QT_SOURCE (the window) and E2E_QT_SOURCE_PID.
#   e2e_open_qt_source OUT TEXT SELECTION_START SELECTION_LENGTH X Y
e2e_open_qt_source() {
  local out=$1 text=$2 start=$3 length=$4 x=$5 y=$6
  rm -f "$out" "$out.point"
  e2e_start "qt-source-$(basename "$out")" "$QT_TEXT_SOURCE" "$out" "$text" "$start" "$length"
  E2E_QT_SOURCE_PID=$E2E_LAST_PID
  E2E_QT_SOURCE=$(e2e_wait_window "^Qt text source - $(basename "$out")\$" 20)
  xdotool windowmove --sync "$E2E_QT_SOURCE" "$x" "$y" >/dev/null 2>&1 || true
  e2e_activate "$E2E_QT_SOURCE"
  e2e_wait_until 5 "the Qt editor to tell where its selection is" test -s "$out.point"
  e2e_log "Qt editor $E2E_QT_SOURCE on [$text] at $(e2e_geometry "$E2E_QT_SOURCE")"
}

# The middle of the Qt editor's selection in screen coordinates: "X Y".
e2e_qt_source_selection() {
  local out=$1 rx ry
  read -r rx ry <"$out.point"
  e2e_point_in "$E2E_QT_SOURCE" "$rx" "$ry"
}

# Ends the Qt editor (it writes its text once more on the way out).
e2e_close_qt_source() {
  kill -TERM "$E2E_QT_SOURCE_PID" 2>/dev/null || true
  e2e_wait_exit "$E2E_QT_SOURCE_PID" 5
}
