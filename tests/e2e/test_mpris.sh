#!/usr/bin/env bash
# The desktop's media controls on a private session bus: playerctl drives
# next, play-pause and previous on real clips through the real media backend,
# then stop, play, Re-do and Space on the window, and quit; the volume and the
# other cases are the unit tests'.
source "$(dirname "$0")/lib.sh"

CLIPS=$WORK/clips
mkdir -p "$CLIPS" "$XDG_DATA_HOME/brelmo"
for name in one two three; do
    gst-launch-1.0 -q videotestsrc num-buffers=250 pattern=ball ! video/x-raw,width=160,height=120,framerate=25/1 \
        ! jpegenc ! avimux ! filesink location="$CLIPS/$name.avi" >/dev/null || fail "cannot make $name.avi"
    echo "$CLIPS/$name.avi" >>"$XDG_DATA_HOME/brelmo/brelmo.txt"
done

start_session_bus

start_x
start_app "$CLIPS"
window_of "$APP_PID" >/dev/null

ctl() { playerctl -p brelmo "$@" 2>&1; }
# Waits (at most 5 s) until "playerctl $1" prints $2.
expect_ctl() {
    local got
    for _ in $(seq 25); do
        got=$(ctl $1 || true)
        [ "$got" = "$2" ] && return 0
        sleep 0.2
    done
    fail "playerctl $1 says '$got', not '$2'"
}

expect_ctl status Stopped
get() { gdbus call --session -d org.mpris.MediaPlayer2.brelmo -o /org/mpris/MediaPlayer2 \
    -m org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player "$1"; }
[ "$(get CanPlay)" = "(<false>,)" ] || fail "CanPlay before any track: $(get CanPlay)"
get Metadata | grep -q "'mpris:trackid': <objectpath '/org/mpris/MediaPlayer2/TrackList/NoTrack'>" ||
    fail "a track before any Next: $(get Metadata)"

ctl next >/dev/null
expect_ctl status Playing
expect_ctl "metadata xesam:title" one.avi
[ "$(ctl metadata xesam:url)" = "file://$CLIPS/one.avi" ] || fail "url of slot 1: $(ctl metadata xesam:url)"
[ "$(ctl metadata mpris:length)" = 10000000 ] || fail "length of a 10 s clip: $(ctl metadata mpris:length)"

ctl play-pause >/dev/null
expect_ctl status Paused
ctl play-pause >/dev/null
expect_ctl status Playing

ctl next >/dev/null
expect_ctl "metadata xesam:title" two.avi
# Back opens slot 1, whose notice runs Next: slot 2 again, as a click on Back does.
ctl previous >/dev/null
sleep 1
expect_ctl "metadata xesam:title" two.avi
expect_ctl status Playing

grep -v '^$' "$WORK/app.log" && fail "the player logged something"
# Stop closes the file, as a click on the video does; Play plays it again from its start.
ctl stop >/dev/null
expect_ctl status Stopped
ctl play >/dev/null
expect_ctl status Playing
# Re-do from the window's own keys jumps back, and the desktop is told so.
gdbus monitor --session -d org.mpris.MediaPlayer2.brelmo >"$WORK/signals.log" 2>&1 &
PIDS+=("$!")
sleep 2
W=$(window_of "$APP_PID")
xdotool windowfocus "$W" key --window "$W" x
for _ in $(seq 25); do grep -q "Player.Seeked (int64 " "$WORK/signals.log" && break; sleep 0.2; done
grep -q "Player.Seeked (int64 " "$WORK/signals.log" || fail "no Seeked after Re-do: $(cat "$WORK/signals.log")"
xdotool key --window "$W" space
expect_ctl status Paused
dbus-send --session --type=method_call --dest=org.mpris.MediaPlayer2.brelmo /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit || fail "Quit"
wait_exit "$APP_PID" 5
echo "1 passed, 0 failed"
