#!/usr/bin/env bash
# A second copy raises the first and ends with exit code 0; the first serves on.
source "$(dirname "$0")/lib.sh"

start_x
start_app
FIRST=$APP_PID
window_of "$FIRST" >/dev/null
sleep 0.5

start_app
SECOND=$APP_PID
wait_exit "$SECOND" 2
[ "$EXIT_CODE" = 0 ] || fail "second copy exit code $EXIT_CODE"
kill -0 "$FIRST" 2>/dev/null || fail "first copy ended"

# Once the first copy is gone, the next start serves again.
kill -9 "$FIRST"
sleep 0.3
start_app
THIRD=$APP_PID
window_of "$THIRD" >/dev/null
kill -0 "$THIRD" || fail "a start after a killed first copy did not serve"
echo "1 passed, 0 failed"
