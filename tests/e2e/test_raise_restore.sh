#!/usr/bin/env bash
# Under a window manager, a second copy brings the first back to the user:
# restored and on top when minimised, raised when the user has turned to
# another program whose window covers it. Either way the second copy ends at
# once with exit code 0.
source "$(dirname "$0")/lib.sh"

# Polls (at most 2 s) until the command succeeds; $1 says what is awaited.
await() {
    local what=$1
    shift
    for _ in $(seq 20); do
        "$@" && return 0
        sleep 0.1
    done
    screenshot
    sed "s/^/wm: /" "$WORK/wm.log" >&2
    fail "$what"
}

wm_runs() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }
start_wm() {
    openbox --sm-disable >"$WORK/wm.log" 2>&1 &
    PIDS+=($!)
    await "the window manager runs" wm_runs
}

has_state() { xprop -id "$1" WM_STATE | grep -q "window state: $2"; }
is_viewable() { xwininfo -id "$1" | grep -q "Map State: IsViewable"; }
# Whether window $1 stands above every other managed window.
is_on_top() { [ $(($(xprop -root _NET_CLIENT_LIST_STACKING | awk '{print $NF}'))) = "$1" ]; }
is_restored() { has_state "$1" Normal && is_viewable "$1" && is_on_top "$1"; }
shows_skin_at() { screenshot && [ "$(at "$1" "$2")" = "$(skin_pixel "$1" "$2")" ]; }
hides_skin_at() { ! shows_skin_at "$1" "$2"; }
cover_shown() { COVER=$(xdotool search --onlyvisible --class xmessage | head -1) && [ -n "$COVER" ]; }

# Starts a second copy and expects it to end within 2 s with exit code 0.
second_copy() {
    start_app
    wait_exit "$APP_PID" 2
    [ "$EXIT_CODE" = 0 ] || fail "second copy exit code $EXIT_CODE"
}

start_x
start_wm
start_app
FIRST=$APP_PID
W=$(window_of "$FIRST")
await "the first window is managed" has_state "$W" Normal
read -r X Y _ _ <<<"$(geometry_of "$W")"

# Another program's window over the left of the first, sticking out beyond
# it: window pixel (200, 200) lies under it, and (-50, 250) is its own.
xmessage -geometry 400x300+$((X - 100))+$((Y + 100)) "another program" >"$WORK/cover.log" 2>&1 &
PIDS+=($!)
await "the covering window is shown" cover_shown
await "the covering window is on top" is_on_top "$COVER"

xdotool windowminimize "$W"
await "the first window is minimised" has_state "$W" Iconic
second_copy
await "the minimised first window is restored on top" is_restored "$W"
await "the restored first window shows its skin" shows_skin_at 200 200

xdotool mousemove $((X - 50)) $((Y + 250)) click 1
await "a click brings the covering window on top" is_on_top "$COVER"
await "the covering window hides the skin" hides_skin_at 200 200
second_copy
await "the covered first window is raised" is_restored "$W"
await "the raised first window shows its skin" shows_skin_at 200 200

kill -0 "$FIRST" 2>/dev/null || fail "first copy ended"

# A press on the bare skin moves nothing; dragged on, it moves the window along.
moved_by() { [ "$(geometry_of "$W")" = "$((X + $1)) $((Y + $2)) 640 480" ]; }
xdotool mousemove $((X + 20)) $((Y + 460)) click 1
await "a press on the skin leaves the window where it is" moved_by 0 0
# The first step passes the drag distance and hands the move to the window manager (the pauses
# let it arrive before the pointer goes on); the window follows the other steps.
xdotool mousedown 1 sleep 0.3 mousemove_relative 5 5 sleep 0.3 mousemove_relative 30 20 sleep 0.3 \
    mousemove_relative 5 5 sleep 0.3 mouseup 1
await "a drag on the skin moves the window" moved_by 35 25
echo "1 passed, 0 failed"
