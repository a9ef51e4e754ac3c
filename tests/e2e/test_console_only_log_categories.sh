#!/usr/bin/env bash
# With the single-instance guard off (its runtime folder is a symbolic link,
# which it refuses), a run through Help and Exit writes nothing to the
# console but lines of the program's own log categories.
source "$(dirname "$0")/lib.sh"

ln -s /tmp "$XDG_RUNTIME_DIR/brelmo"
start_x
start_app
W=$(window_of "$APP_PID")
sleep 1
click_in "$W" 535 258   # Help
sleep 0.3
click_in "$W" 369 387   # Exit
wait_exit "$APP_PID" 5
grep -q '^brelmo\.platform\.instance: .*single-instance guard' "$WORK/app.log" ||
    fail "the guard did not say that it is off"
expect_only_log_lines "$WORK/app.log"
echo "1 passed, 0 failed"
