#!/usr/bin/env bash
# The real window: size and place, the grey top row, the revealed skin, the
# help view opened by Help and closed by a click on its text, and Exit.
source "$(dirname "$0")/lib.sh"

start_x
start_app
W=$(window_of "$APP_PID")
read -r X Y WIDTH HEIGHT <<<"$(geometry_of "$W")"
[ "$WIDTH" = 640 ] && [ "$HEIGHT" = 480 ] || fail "window is ${WIDTH}x${HEIGHT}"
[ "$X" = 192 ] && [ "$Y" = 144 ] || fail "window at $X,$Y, not centred on 1024x768"

# The top-left corner is covered only by the last frame of the reveal.
expect_colour 20 20 "$(skin_pixel 20 20)" "the skin is revealed"
[ "$(pixel $((X + 300)) "$Y")" = "128,128,128" ] || fail "top row is $(pixel $((X + 300)) "$Y")"
for point in "300 200" "600 100" "20 460" "530 137"; do
    read -r px py <<<"$point"
    [ "$(pixel $((X + px)) $((Y + py)))" = "$(skin_pixel "$px" "$py")" ] ||
        fail "skin not revealed at $px,$py: $(pixel $((X + px)) $((Y + py))) vs $(skin_pixel "$px" "$py")"
done

click_in "$W" 535 258   # Help
expect_colour 300 200 255,255,255 "the help text is shown"
click_in "$W" 300 200   # a click on the help text closes it
expect_colour 300 200 "$(skin_pixel 300 200)" "the help text is closed"

click_in "$W" 369 387   # Exit
wait_exit "$APP_PID" 5
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
echo "1 passed, 0 failed"
