# Shared helpers of the end-to-end tests: a private X server, a private home
# and runtime folder, the real program, clicks and screenshot pixels.
# Sourced by tests/e2e/test_*.sh, which get the program's path as $1.
set -euo pipefail

BRELMO=$(realpath "$1")
WORK=$(mktemp -d /tmp/brelmo-e2e.XXXXXX)
export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run XDG_DATA_HOME=$WORK/home/.local/share
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb
PIDS=()

cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    # The server is waited for, so the next test never meets it shutting down.
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$WORK/app.log" ] && sed "s/^/app: /" "$WORK/app.log" >&2
    [ -f "$WORK/shot.png" ] && cp "$WORK/shot.png" "/tmp/brelmo-e2e-failure-$(basename "$0" .sh).png"
    exit 1
}

start_x() {
    local n
    for n in $(seq 140 199); do
        [ -e "/tmp/.X$n-lock" ] && continue
        # A server of another root (a chroot) holds the display by its abstract socket only.
        grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null && continue
        try_x "$n" && return 0
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    done
    fail "no X server could be started: $(cat "$WORK/xvfb.log")"
}

# Starts a server on display $1 (screen $SCREEN, default 1024x768x24); true
# once it answers and holds the display's lock itself, so a server that lost the display to another one started at the
# same time is never taken for ours. Without -noreset the server would reset
# when the probe disconnects, and turn away whoever connects during the reset.
try_x() {
    Xvfb ":$1" -screen 0 "${SCREEN:-1024x768x24}" -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$1"
    for _ in $(seq 50); do
        kill -0 "$XVFB_PID" 2>/dev/null || return 1
        [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock")" = "$XVFB_PID" ] &&
            xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A session bus of the test's own in the private runtime folder, and, with
# "accessible", the accessibility bus and registry on it, read by pyatspi.
start_session_bus() {
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/bus" \
        --print-address=3 3>"$WORK/bus.address" >/dev/null 2>&1 &
    PIDS+=("$!")
    for _ in $(seq 50); do [ -s "$WORK/bus.address" ] && break; sleep 0.1; done
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
    [ "${1:-}" = accessible ] || return 0
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/atspi.log" 2>&1 &
    PIDS+=("$!")
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    for _ in $(seq 50); do gdbus call --session -d org.a11y.Bus -o /org/a11y/bus -m org.a11y.Bus.GetAddress \
        >/dev/null 2>&1 && return 0; sleep 0.1; done
    fail "no accessibility bus: $(cat "$WORK/atspi.log")"
}

# Starts the program in folder $1 (default: the work folder); sets APP_PID.
start_app() {
    local dir=${1:-$WORK}
    (cd "$dir" && exec "$BRELMO" >"$WORK/app.log" 2>&1) &
    APP_PID=$!
    PIDS+=("$APP_PID")
}

# Waits for a window of process $1 and prints its id.
window_of() {
    local pid=$1 id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window for process $pid"
}

# Window geometry as "X Y W H".
geometry_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

screenshot() { import -window root "$WORK/shot.png"; }

# Colour of screen pixel (x, y) in the last screenshot, as "r,g,b".
pixel() {
    convert "$WORK/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}

# Whether colour $1 is roughly $2 (both "r,g,b"; video coding shifts colours a little).
is_colour() {
    local r g b er eg eb
    IFS=, read -r r g b <<<"$1"
    IFS=, read -r er eg eb <<<"$2"
    [ $(((r - er) * (r - er) + (g - eg) * (g - eg) + (b - eb) * (b - eb))) -lt 2000 ]
}

# The skin picture's colour at window pixel (x, y), as "r,g,b": the picture sits at y = 1.
skin_pixel() {
    local skin
    skin=$(dirname "${BASH_SOURCE[0]}")/../../resources/qrc/skin/skin.png
    convert "$skin" -format "%[fx:int(255*p{$1,$(($2 - 1))}.r)],%[fx:int(255*p{$1,$(($2 - 1))}.g)],%[fx:int(255*p{$1,$(($2 - 1))}.b)]" info:
}

# Colour of pixel (x, y) of the window at $X, $Y in the last screenshot.
at() { pixel $((X + $1)) $((Y + $2)); }

# Waits (at most 6 s) until window pixel ($1, $2) is roughly colour $3; $4 says what.
expect_colour() {
    for _ in $(seq 30); do
        screenshot
        is_colour "$(at "$1" "$2")" "$3" && return 0
        sleep 0.2
    done
    fail "$4: pixel $1,$2 is $(at "$1" "$2"), not $3"
}

# Clicks at (x, y) relative to the top-left corner of window $1.
click_in() {
    local geo
    read -r -a geo <<<"$(geometry_of "$1")"
    xdotool mousemove $((geo[0] + $2)) $((geo[1] + $3)) click 1
}

# Waits until process $1 has ended (at most $2 seconds); sets EXIT_CODE.
wait_exit() {
    local pid=$1 limit=${2:-5}
    for _ in $(seq $((limit * 10))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            if wait "$pid"; then EXIT_CODE=0; else EXIT_CODE=$?; fi
            return 0
        fi
        sleep 0.1
    done
    fail "process $pid still runs after ${limit}s"
}

# Fails when the player's console output ($1) holds a line that is not one of
# its own log categories' ("brelmo.<category>: ...").
expect_only_log_lines() {
    if grep -v '^brelmo\.[a-z.]*: ' "$1" >"$WORK/stray.log"; then
        fail "console lines outside the log categories: $(cat "$WORK/stray.log")"
    fi
}
