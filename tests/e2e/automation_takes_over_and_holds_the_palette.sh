#!/usr/bin/env bash
# The session bus starts the program for an automation client: the new
# process hides and closes the palette that was running and shows its own.
# While the client holds its object, Escape only hides the palette; when
# the client gives the object back, the program ends. A one-shot client
# (gdbus) starts it again, and then Escape ends it at once.
source "$(dirname "$0")/common.sh" "$1"
source "$(dirname "$0")/../../scripts/e2e/editor.sh"
client_bin=$(readlink -f "$3")

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:one,two"
e2e_use_library "$library"
# The bus takes DISPLAY and the private home from this environment.
e2e_start_session_bus

automated_pid() { pgrep -f "^$BLURTLE --automation$" || true; }
running_automated() { [ -n "$(automated_pid)" ]; }
service_file="$XDG_DATA_HOME/dbus-1/services/Mumblet.Application.service"

# --- a normal palette registers the service --------------------------------
e2e_start_blurtle
normal=$E2E_LAST_PID
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
e2e_wait_until 5 "the service file" test -s "$service_file"
grep -qx "Exec=$BLURTLE --automation" "$service_file" ||
  e2e_fail "the service file says: $(cat "$service_file")"

# --- a client's request starts the automation process, which takes over ---
e2e_log "a client asks for an object"
mkfifo "$E2E_TMP/client.in"
e2e_start client sh -c "exec '$client_bin' <'$E2E_TMP/client.in'"
exec 3>"$E2E_TMP/client.in" # held open: the client waits for its line
client_has() { grep -q "$1" "$E2E_TMP/logs/client"; }
e2e_wait_until 20 "the client to get its object" client_has '^object /Mumblet/Application/'
e2e_wait_exit "$normal" 10
running_automated || e2e_fail "no process was started for automation"
automated=$(automated_pid)
E2E_PIDS+=("$automated")
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the new palette to show" e2e_is_viewable "$palette"
[ "$(xdotool getwindowpid "$palette")" = "$automated" ] ||
  e2e_fail "the palette shown is not the automation process's"

# --- a second automation start leaves the serving process alone ------------
if ! second=$(timeout 20 "$BLURTLE" --automation 2>&1); then
  e2e_fail "a second automation start failed: $second"
fi
[[ "$second" == *"already served"* ]] || e2e_fail "a second automation start said: $second"
e2e_is_viewable "$palette" || e2e_fail "a second automation start hid the palette"
[ "$(automated_pid)" = "$automated" ] || e2e_fail "the serving process changed"

# --- held: Escape only hides -----------------------------------------------
e2e_log "Escape while the client holds its object"
e2e_key "$palette" Escape
e2e_wait_until 5 "the palette to hide" e2e_is_unmapped "$palette"
sleep 1
kill -0 "$automated" 2>/dev/null || e2e_fail "the program ended while a client held it"

# --- released: the close held back happens ---------------------------------
echo release >&3
exec 3>&-
e2e_wait_until 10 "the client to release" client_has '^released'
e2e_wait_exit "$automated" 10
e2e_log "ended after the release"

# --- a one-shot client: its object goes with it, Escape ends at once -------
gdbus call --session --dest Mumblet.Application --object-path / \
  --method Mumblet.ClassFactory.CreateObject >"$E2E_TMP/gdbus.out" ||
  e2e_fail "gdbus could not start the program"
grep -q "/Mumblet/Application/" "$E2E_TMP/gdbus.out" || e2e_fail "gdbus got $(cat "$E2E_TMP/gdbus.out")"
e2e_wait_until 10 "the program to start for gdbus" running_automated
automated=$(automated_pid)
E2E_PIDS+=("$automated")
palette=$(e2e_wait_palette)
e2e_wait_until 5 "the palette to show" e2e_is_viewable "$palette"
sleep 0.5
e2e_key "$palette" Escape
e2e_wait_exit "$automated" 10
e2e_log "PASS"
