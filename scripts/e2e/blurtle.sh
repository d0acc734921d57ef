# Blurtle-specific helpers for end-to-end tests, on top of lib.sh.
#   source scripts/e2e/lib.sh; source scripts/e2e/blurtle.sh
# BLURTLE must name the executable under test.

E2E_PALETTE_TITLE='^Blurtle \(TM\)$'

e2e_settings_file() { echo "$XDG_CONFIG_HOME/Quillfen/$(basename "$BLURTLE").conf"; }

# A value of the palette's settings (group "General"), or nothing.
e2e_setting() {
  local file
  file=$(e2e_settings_file)
  [ -f "$file" ] || return 0
  # Inside [%General]: "key=value" (QSettings quotes values with commas).
  awk -v key="$1" -F= '
    /^\[/ {ingeneral = ($0 == "[%General]")}
    ingeneral && $1 == key {sub(/^[^=]*=/, ""); print; exit}' "$file"
}

# Makes a library at PATH with categories and items:
#   e2e_make_library PATH "Alpha:one,two,three" "Beta:beta one,beta two"
e2e_make_library() {
  local path=$1
  shift
  "$BLURTLE" --new-library "$path" >/dev/null
  local z=0 entry category items item i sql=""
  for entry in "$@"; do
    category=${entry%%:*}
    items=${entry#*:}
    sql+="INSERT INTO tblCategory (Description, ZOrder) VALUES ('$category', $z);"
    i=0
    IFS=',' read -r -a list <<<"$items"
    for item in "${list[@]}"; do
      sql+="INSERT INTO tblPhrase (CategoryID, Mnemonic, Data, ZOrder, PunctuationTrailing)
            SELECT CategoryID, '$item', '$item text9|', $i, 2 FROM tblCategory
            WHERE Description = '$category';"
      i=$((i + 1))
    done
    z=$((z + 1))
  done
  sqlite3 "$path" "$sql"
}

# Points the settings at a library, as if the user had chosen it.
e2e_use_library() {
  mkdir -p "$XDG_CONFIG_HOME/Quillfen"
  printf '[%%General]\nDatabasePath=%s\n' "$1" >"$(e2e_settings_file)"
}

# Starts the program (its pid in E2E_LAST_PID).
e2e_start_blurtle() { e2e_start "blurtle-$((${#E2E_PIDS[@]}))" "$BLURTLE" "$@"; }

e2e_wait_palette() { e2e_wait_window "$E2E_PALETTE_TITLE" "${1:-20}"; }

# Running processes of the program under test in this home.
e2e_blurtle_count() { pgrep -c -f "^$BLURTLE( |$)" || true; }

e2e_wait_exit() {
  local pid=$1 timeout=${2:-10}
  e2e_wait_until "$timeout" "process $pid to end" e2e_not_running "$pid"
}
e2e_not_running() { ! kill -0 "$1" 2>/dev/null; }

# Message boxes of the program: windows titled like the palette that are
# not the palette.
#   e2e_message_boxes PALETTE_WINDOW
e2e_message_boxes() { e2e_windows "$E2E_PALETTE_TITLE" | grep -vx "$1" || true; }
e2e_has_message_box() { [ -n "$(e2e_message_boxes "$1")" ]; }
e2e_has_no_message_box() { [ -z "$(e2e_message_boxes "$1")" ]; }

# Waits for one message box and answers it with Enter (its default button).
#   e2e_dismiss_message_box PALETTE_WINDOW
e2e_dismiss_message_box() {
  e2e_wait_until 5 "a message box" e2e_has_message_box "$1"
  local box
  box=$(e2e_message_boxes "$1" | head -n 1)
  e2e_activate "$box"
  xdotool key --clearmodifiers Return
  e2e_wait_until 5 "the message box to close" e2e_has_no_message_box "$1"
}
