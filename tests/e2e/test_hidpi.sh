#!/usr/bin/env bash
# On screens of device-pixel ratio 1.5 and 2 the window keeps its layout in
# logical pixels: it is 640x480 times the ratio and centred, its hot spots
# answer at the scaled places, and its skin is drawn at the ratio: the 2x
# button art is not the 1x art with every pixel doubled.
source "$(dirname "$0")/lib.sh"

SCREEN=1920x1200x24 start_x

# Logical length $1 in device pixels at ratio $RATIO.
scaled() { awk -v v="$1" -v r="$RATIO" 'BEGIN { printf "%d", v * r }'; }
# The device pixel at the centre of logical pixel $1.
dev() { scaled "$1.5"; }

# Starts the program at ratio $1, checks size, place and reveal, opens and
# closes help through its hot spots, keeps a screenshot of the window in
# $WORK/window-$1.png and ends it with Exit.
run_at() {
    RATIO=$1
    QT_SCALE_FACTOR=$RATIO start_app
    local w expected_w expected_h
    w=$(window_of "$APP_PID")
    read -r X Y WIDTH HEIGHT <<<"$(geometry_of "$w")"
    expected_w=$(scaled 640) expected_h=$(scaled 480)
    [ "$WIDTH" = "$expected_w" ] && [ "$HEIGHT" = "$expected_h" ] ||
        fail "at $RATIO the window is ${WIDTH}x${HEIGHT}, not ${expected_w}x${expected_h}"
    [ "$X" = $(((1920 - WIDTH) / 2)) ] && [ "$Y" = $(((1200 - HEIGHT) / 2)) ] ||
        fail "at $RATIO the window is at $X,$Y, not centred"

    # The top-left corner is covered only by the last frame of the reveal.
    expect_colour "$(dev 20)" "$(dev 20)" "$(skin_pixel 20 20)" "the skin is revealed at $RATIO"
    convert "$WORK/shot.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$WORK/window-$RATIO.png"

    click_in "$w" "$(dev 535)" "$(dev 258)"   # Help
    expect_colour "$(dev 300)" "$(dev 200)" 255,255,255 "the help text is shown at $RATIO"
    click_in "$w" "$(dev 300)" "$(dev 200)"   # a click on the help text closes it
    expect_colour "$(dev 300)" "$(dev 200)" "$(skin_pixel 300 200)" "the help text is closed at $RATIO"
    click_in "$w" "$(dev 369)" "$(dev 387)"   # Exit
    wait_exit "$APP_PID" 5
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE at $RATIO"
}

for ratio in 1 1.5 2; do run_at "$ratio"; done

# The Next button's art (567,125 43x28, shown one row lower) at 2x, beside
# the 1x art enlarged by pixel doubling: drawn at the ratio, edges and
# lettering differ (doubling leaves under 0.1 % different, drawing over 10 %).
convert "$WORK/window-1.png" -crop 43x28+567+126 +repage -filter point -resize 200% "$WORK/doubled.png"
convert "$WORK/window-2.png" -crop 86x56+1134+252 +repage "$WORK/drawn.png"
differing=$(compare -metric AE -fuzz 3% "$WORK/doubled.png" "$WORK/drawn.png" null: 2>&1 || true)
[ "${differing%%.*}" -gt $((86 * 56 / 20)) ] ||
    fail "the 2x button art is the 1x art doubled: only $differing of $((86 * 56)) pixels differ"
echo "2x button art: $differing of $((86 * 56)) pixels differ from the doubled 1x art"
echo "1 passed, 0 failed"
