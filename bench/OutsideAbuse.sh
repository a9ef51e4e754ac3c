#!/usr/bin/env bash
# Abuse from outside, against the player $1 and, side by side, an anchor
# build $2 (another build/brelmo, e.g. of the main branch): a flood of the
# instance channel (N idle connections, default 2000) and a storm of 1,000
# MPRIS Next calls with a playlist of the demo clips. Each run gets its own
# X server, session bus and runtime folder, stopped by PID afterwards.
#   bench/OutsideAbuse.sh build/brelmo /path/to/anchor/brelmo [N]
set -u
BENCH=$(dirname "$(realpath "$1")")/bench
DEMO=$(dirname "$(realpath "$1")")/demo

run() {
    local bin=$1 n=$2 work xvfb app bus
    work=$(mktemp -d /tmp/brelmo-abuse.XXXXXX)
    export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/home/.local/share
    mkdir -p "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME/brelmo" && chmod 700 "$XDG_RUNTIME_DIR"
    { echo '#EXTM3U'; ls "$DEMO"/*; } >"$XDG_DATA_HOME/brelmo/brelmo.txt"
    for d in $(seq 150 199); do [ -e "/tmp/.X$d-lock" ] || break; done
    Xvfb ":$d" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=:$d QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
    dbus-daemon --session --fork --address="$DBUS_SESSION_BUS_ADDRESS" --print-pid=3 3>"$work/bus.pid" >/dev/null
    sleep 0.5
    "$bin" >"$work/app.log" 2>&1 &
    app=$!
    sleep 4
    "$BENCH/channel_flood" "$app" "$n"
    "$BENCH/mpris_storm" 1000
    kill -9 "$app"
    kill "$(cat "$work/bus.pid")" "$xvfb"
    wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}

echo "== $1"
run "$(realpath "$1")" "${3:-2000}"
echo "== anchor $2"
run "$(realpath "$2")" "${3:-2000}"
