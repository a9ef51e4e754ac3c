#!/usr/bin/env bash
# The package's files, unpacked into a temporary root, on their own: the
# program starts there under a private X server, reveals its skin and clicks
# with the click sound of the unpacked data folder, and opens nothing of the
# build tree. Qt's own options are not honoured: told to draw off screen, it
# still shows its window. unpacked_start.sh BUILD_DIR (after package.build).
BUILD=$(realpath "$1")
ROOT=$BUILD/deb/root
source "$(dirname "$0")/../e2e/lib.sh" "$ROOT/usr/bin/brelmo"
# No data folder of the desktop's may stand in for the unpacked one.
export XDG_DATA_DIRS=$WORK/no-data

start_x
(cd "$WORK" && exec strace -f -qq -e trace=openat -e signal=none -o "$WORK/open.log" \
    "$BRELMO" -platform offscreen -reverse >"$WORK/app.log" 2>&1) &
TRACER_PID=$!
PIDS+=("$TRACER_PID")
# By name: strace's own short-lived probe of ptrace is a child of it too.
for _ in $(seq 50); do
    APP_PID=$(pgrep -x -P "$TRACER_PID" brelmo || true)
    [ -n "$APP_PID" ] && break
    sleep 0.1
done
[ -n "$APP_PID" ] || fail "the program did not start"
# Killing the tracer would leave the program running: it is stopped itself.
PIDS+=("$APP_PID")

W=$(window_of "$APP_PID")
read -r X Y _ <<<"$(geometry_of "$W")"
expect_colour 20 20 "$(skin_pixel 20 20)" "the skin is revealed"
expect_colour 300 200 "$(skin_pixel 300 200)" "the skin is revealed"
click_in "$W" 535 258   # Help
expect_colour 300 200 255,255,255 "the help text is shown"
click_in "$W" 369 387   # Exit
wait_exit "$TRACER_PID" 10
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"

grep -qE "\"$ROOT/usr/share/brelmo/dclick.wav\", O_RDONLY.*= [0-9]+$" "$WORK/open.log" ||
    fail "the click sound was not read from the unpacked data folder:
$(grep -F dclick "$WORK/open.log" || echo "no dclick.wav opened")"
if grep -F "\"$BUILD/" "$WORK/open.log" | grep -vF "\"$ROOT/"; then
    fail "the unpacked program opened files of the build tree"
fi
echo "1 passed, 0 failed"
