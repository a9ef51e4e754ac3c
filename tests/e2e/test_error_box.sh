#!/usr/bin/env bash
# A real failure (the playlist names a missing file, then Next) shows its
# error box drawn at once, with and without a window manager: light inside,
# its text and its OK button in pixels; OK closes it and the player goes on.
source "$(dirname "$0")/lib.sh"

# Share (0..1) of dark pixels in the rectangle X Y W H of the last screenshot.
dark_share() {
    convert "$WORK/shot.png" -crop "$3x$4+$1+$2" +repage -colorspace Gray -threshold 50% \
        -format "%[fx:1-mean]" info:
}
# Whether the share $1 lies between $2 and $3.
between() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

# Waits (at most 40 s: the first click starts the sound engine) for a second window of the app.
box_of() {
    local id
    for _ in $(seq 400); do
        id=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vx "$W" | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no error box after Next"
}

# The box is read in its first second: a box left black would stay so.
check_box() {
    local case=$1 box bx by bw bh
    box=$(box_of)
    sleep 0.5
    read -r bx by bw bh <<<"$(geometry_of "$box")"
    screenshot
    local whole text button
    whole=$(dark_share "$bx" "$by" "$bw" "$bh")
    text=$(dark_share $((bx + bw / 5)) "$by" $((bw * 4 / 5)) $((bh / 2)))
    button=$(dark_share $((bx + bw * 2 / 3)) $((by + bh * 3 / 5)) $((bw / 3)) $((bh * 2 / 5)))
    between "$whole" 0 0.25 || fail "$case: the box is dark ($whole of it)"
    between "$text" 0.01 0.5 || fail "$case: no text drawn in the box ($text dark)"
    between "$button" 0.01 0.6 || fail "$case: no OK button drawn ($button dark)"
    echo "$case: box ${bw}x${bh}, dark shares: whole $whole, text $text, button $button"
    xdotool mousemove $((bx + bw / 2)) $((by + bh / 2)) key Return
    for _ in $(seq 30); do
        xwininfo -id "$box" 2>/dev/null | grep -q IsViewable || return 0
        sleep 0.1
    done
    fail "$case: OK did not close the box"
}

run_case() {
    start_app
    W=$(window_of "$APP_PID")
    read -r X Y _ _ <<<"$(geometry_of "$W")"
    expect_colour 20 20 "$(skin_pixel 20 20)" "$1: the skin is revealed"
    click_in "$W" 588 139      # Next: the missing file
    check_box "$1"
    click_in "$W" 369 387      # Exit
    wait_exit "$APP_PID" 10
    [ "$EXIT_CODE" = 0 ] || fail "$1: exit code $EXIT_CODE"
}

mkdir -p "$XDG_DATA_HOME/brelmo"
echo "$WORK/missing.avi" >"$XDG_DATA_HOME/brelmo/brelmo.txt"
start_x
run_case "without a window manager"
openbox --sm-disable >"$WORK/wm.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 30); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" && break; sleep 0.1; done
run_case "under a window manager"
echo "2 passed, 0 failed"
