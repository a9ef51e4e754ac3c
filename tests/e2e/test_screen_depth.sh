#!/usr/bin/env bash
# On a screen too shallow for Qt to draw on, the program says so once in its
# log instead of leaving a black window unexplained; on a usual screen it
# says nothing of the kind.
source "$(dirname "$0")/lib.sh"

warning='^brelmo\.application: the screen has 8 bits a pixel'

# Starts the program on a screen of $1 bits, stops it after its window shows.
run_on_depth() {
    SCREEN=1024x768x$1 start_x
    start_app
    window_of "$APP_PID" >/dev/null
    sleep 0.5
    kill "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
    kill "$XVFB_PID"
    wait "$XVFB_PID" 2>/dev/null || true
}

run_on_depth 8
grep -q "$warning" "$WORK/app.log" || fail "8 bits: no word of the shallow screen"
run_on_depth 24
grep -q 'bits a pixel' "$WORK/app.log" && fail "24 bits: a warning of a shallow screen"
echo "2 passed, 0 failed"
