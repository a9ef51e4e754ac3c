#!/usr/bin/env bash
# A playlist built through the setup view with real clicks, then Next, Back,
# Stop, Re-do and a click on the video panel, checked by screenshot pixels;
# Save, then a restart shows the playlist loaded.
source "$(dirname "$0")/lib.sh"

CLIPS=$WORK/clips
mkdir -p "$CLIPS"
make_clip() {  # name width height colour(0xAARRGGBB)
    gst-launch-1.0 -q videotestsrc num-buffers=150 pattern=solid-color foreground-color="$4" \
        ! "video/x-raw,width=$2,height=$3,framerate=25/1" ! jpegenc ! avimux \
        ! filesink location="$CLIPS/$1" >/dev/null || fail "cannot make $1"
}
make_clip a_red.avi 160 120 0xffff0000
make_clip b_blue.avi 200 100 0xff0000ff

start_x
start_app "$CLIPS"
W=$(window_of "$APP_PID")
read -r X Y _ _ <<<"$(geometry_of "$W")"
sleep 1

click_in "$W" 585 257      # Setup
sleep 0.5
click_in "$W" 200 62       # file row 0: a_red.avi
sleep 0.3
click_in "$W" 200 75       # file row 1: b_blue.avi
sleep 0.3
click_in "$W" 298 387      # Accept
sleep 0.5

# The last file clicked was row 1, so the first Next plays slot 2.
click_in "$W" 588 139      # Next: b_blue.avi, 200x100 centred on (253, 182)
expect_colour 253 182 0,0,255 "the first Next shows slot 2"
expect_colour 155 134 0,0,255 "slot 2's top-left corner"
expect_colour 150 182 0,0,0 "the black picture beside the panel"

click_in "$W" 588 139      # Next wraps to a_red.avi, 160x120
expect_colour 253 182 255,0,0 "Next wraps to slot 1"
expect_colour 175 124 255,0,0 "slot 1's top-left corner"
expect_colour 170 182 0,0,0 "outside slot 1"

click_in "$W" 536 176      # Back opens slot 2, whose notice runs Next: slot 1 again
sleep 1
expect_colour 253 182 255,0,0 "Back ends on slot 1 again"

click_in "$W" 537 137      # Stop (pause)
sleep 0.3
click_in "$W" 537 137      # continue
sleep 0.3
click_in "$W" 253 182      # the panel click's Close carries the resume's notice: Next runs
expect_colour 253 182 0,0,255 "after a resume, a panel click moves on to slot 2"
click_in "$W" 253 182      # now the click only hides the panel
expect_colour 253 182 0,0,0 "the panel is hidden"

click_in "$W" 536 215      # Save
sleep 0.5
[ -s "$XDG_DATA_HOME/brelmo/brelmo.txt" ] || fail "nothing saved"
grep -q "a_red.avi" "$XDG_DATA_HOME/brelmo/brelmo.txt" || fail "saved list lacks clip 1"

click_in "$W" 369 387      # Exit
wait_exit "$APP_PID" 5

start_app "$CLIPS"
W=$(window_of "$APP_PID")
read -r X Y _ _ <<<"$(geometry_of "$W")"
sleep 1
click_in "$W" 588 139      # Next plays the loaded slot 1
expect_colour 253 182 255,0,0 "the saved playlist was loaded at start"
echo "1 passed, 0 failed"
