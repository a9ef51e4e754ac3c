#!/usr/bin/env bash
# On a real sound server, presses spaced as a user makes them are each heard:
# four presses of Stop/continue with nothing loaded, 0.6 s apart, reach the
# server's default sink as four clicks.
[ -n "${BRELMO_TEST_SINK:-}" ] ||
    exec "$(dirname "$0")/../sound/sound-server.sh" run bash "$0" "$@"
source "$(dirname "$0")/lib.sh"

# Milliseconds of the raw 16-bit mono recording $1 (at 48 kHz) louder than a whisper.
loud_ms() {
    od -An -v -td2 -w2 "$1" | awk '{ if ($1 > 300 || $1 < -300) n++ } END { printf "%d", n / 48 }'
}

start_x
start_app
W=$(window_of "$APP_PID")
read -r X Y _ _ <<<"$(geometry_of "$W")"
expect_colour 20 20 "$(skin_pixel 20 20)" "the skin is revealed"
parec -d "$BRELMO_TEST_SINK.monitor" --format=s16le --channels=1 --rate=48000 --raw \
    --latency-msec=5 >"$WORK/sink.raw" &
PIDS+=($!)
sleep 0.5
for _ in 1 2 3 4; do
    click_in "$W" 537 137   # Stop/continue
    sleep 0.6
done
kill "${PIDS[-1]}"
heard=$(loud_ms "$WORK/sink.raw")
echo "heard ${heard} ms of clicks"
[ "$heard" -ge 60 ] || fail "four presses gave ${heard} ms of sound on the sink, not four clicks"
click_in "$W" 369 387   # Exit
wait_exit "$APP_PID" 5
echo "1 passed, 0 failed"
