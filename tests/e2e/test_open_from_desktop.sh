#!/usr/bin/env bash
# Opening from the desktop: the file manager's way (gio open, with the desktop
# entry installed and made the default for wave files) starts the player on
# the file, a second copy started with a file hands it to the first and ends,
# and each opened file becomes the playlist and plays.
source "$(dirname "$0")/lib.sh"

CLIPS=$WORK/clips
mkdir -p "$CLIPS" "$XDG_DATA_HOME/applications" "$WORK/bin"
for name in one two; do
    gst-launch-1.0 -q audiotestsrc num-buffers=2000 ! wavenc ! filesink location="$CLIPS/$name.wav" >/dev/null
done
ln -s "$BRELMO" "$WORK/bin/brelmo"
export PATH=$WORK/bin:$PATH XDG_DATA_DIRS=$XDG_DATA_HOME:/usr/share
sed "s/@BRELMO_APP_ID@/org.brelmo.Brelmo/" "$(dirname "$0")/../../resources/brelmo.desktop.in" \
    >"$XDG_DATA_HOME/applications/org.brelmo.Brelmo.desktop"
gio mime audio/x-wav org.brelmo.Brelmo.desktop >/dev/null
start_session_bus
start_x

ctl() { playerctl -p brelmo "$@" 2>&1; }
expect_title() {
    for _ in $(seq 50); do
        [ "$(ctl metadata xesam:title)" = "$1" ] && [ "$(ctl status)" = Playing ] && return 0
        sleep 0.2
    done
    fail "'$1' does not play: $(ctl status) $(ctl metadata xesam:title)"
}
gio open "$CLIPS/one.wav" >"$WORK/app.log" 2>&1
# The copy the desktop started, found by its bus name, is stopped whatever happens.
for _ in $(seq 50); do
    APP_PID=$(gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus -m \
        org.freedesktop.DBus.GetConnectionUnixProcessID org.mpris.MediaPlayer2.brelmo 2>/dev/null) && break
    sleep 0.2
done
PIDS+=("$(sed -E 's/.*uint32 ([0-9]+).*/\1/' <<<"$APP_PID")")
expect_title one.wav
(cd "$CLIPS" && exec "$BRELMO" two.wav >"$WORK/second.log" 2>&1) &
wait_exit $! 5
[ "$EXIT_CODE" = 0 ] || fail "second copy exit code $EXIT_CODE"
expect_title two.wav
ctl metadata xesam:url | grep -qx "file://$CLIPS/two.wav" || fail "url: $(ctl metadata xesam:url)"
echo "1 passed, 0 failed"
