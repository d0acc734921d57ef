#!/usr/bin/env bash
# Eight copies started at the same moment leave exactly one palette.
source "$(dirname "$0")/common.sh" "$1"

library="$HOME/phrases.blz"
e2e_make_library "$library" "Alpha:one"
e2e_use_library "$library"

pids=()
for _ in 1 2 3 4 5 6 7 8; do
  e2e_start_blurtle
  pids+=("$E2E_LAST_PID")
done
e2e_wait_palette >/dev/null

alive() {
  local n=0 pid
  for pid in "${pids[@]}"; do
    kill -0 "$pid" 2>/dev/null && n=$((n + 1))
  done
  echo "$n"
}
deadline=$((SECONDS + 20))
while [ "$(alive)" -gt 1 ] && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
[ "$(alive)" -eq 1 ] || e2e_fail "$(alive) copies still run"
sleep 0.5
count=$(e2e_window_count "$E2E_PALETTE_TITLE")
[ "$count" -eq 1 ] || e2e_fail "$count palettes are shown"
for pid in "${pids[@]}"; do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" && status=0 || status=$?
    [ "$status" -eq 0 ] || e2e_fail "a later start ended with status $status"
  fi
done
e2e_log "PASS"
