#!/usr/bin/env bash
# A second copy raises the first and ends with exit code 0, saying so in the
# log; the first serves on. A copy ended by SIGTERM leaves no window files.
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
grep -q '^brelmo\.guard: another copy is running' "$WORK/app.log" || fail "the second copy ended silently"

# Once the first copy is gone, the next start serves again.
kill -9 "$FIRST"
sleep 0.3
start_app
THIRD=$APP_PID
window_of "$THIRD" >/dev/null
kill -0 "$THIRD" || fail "a start after a killed first copy did not serve"
kill -TERM "$THIRD"
wait_exit "$THIRD" 5
[ "$EXIT_CODE" = 0 ] || fail "a copy ended by SIGTERM exited with $EXIT_CODE"
! ls "$XDG_RUNTIME_DIR/brelmo/win-$THIRD-"* 2>/dev/null || fail "SIGTERM left window files behind"
echo "1 passed, 0 failed"
