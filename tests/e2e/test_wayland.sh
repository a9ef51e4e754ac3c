#!/usr/bin/env bash
# On a Wayland compositor that offers no X server and never activates a
# window (headless weston has no seat), the program runs natively, reveals
# its skin within 3 s with no input, and a second copy hands its activation
# token to the first and ends with exit code 0 while the first serves on.
source "$(dirname "$0")/lib.sh"

unset DISPLAY QT_QPA_PLATFORM
export WAYLAND_DISPLAY=brelmo-e2e
# A plain black desktop without panel or animations, so the window's grey top
# row is the only grey there and the skin shows as soon as it is drawn.
cat >"$WORK/weston.ini" <<'INI'
[core]
idle-time=0
[shell]
background-color=0xff000000
panel-position=none
animation=none
startup-animation=none
INI
weston --config="$WORK/weston.ini" --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" \
    --width=1024 --height=768 --use-pixman --debug >"$WORK/weston.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || fail "weston did not start: $(cat "$WORK/weston.log")"

# Screenshots of the compositor's output; X, Y become the window's place,
# found by its grey top row.
screenshot() {
    rm -f "$WORK"/shots/*.png
    (mkdir -p "$WORK/shots" && cd "$WORK/shots" && timeout 5 weston-screenshooter >/dev/null 2>&1) || true
    mv "$WORK"/shots/*.png "$WORK/shot.png" 2>/dev/null || return 1
    local place
    place=$(convert "$WORK/shot.png" -fill black +opaque 'rgb(128,128,128)' -trim \
        -format '%X %Y' info: 2>/dev/null) || return 1
    read -r X Y <<<"${place//+/}"
}
skin_shown() {
    screenshot || return 1
    local point
    for point in "20 20" "300 200" "600 100" "530 137"; do
        read -r px py <<<"$point"
        [ "$(at "$px" "$py")" = "$(skin_pixel "$px" "$py")" ] || return 1
    done
}

WAYLAND_DEBUG=client QT_LOGGING_RULES="brelmo.platform.instance.debug=true" start_app
FIRST=$APP_PID
started=$(date +%s%N)
until skin_shown; do
    [ $(($(date +%s%N) - started)) -lt 3000000000 ] || fail "the skin is not shown 3 s after start"
    sleep 0.1
done
grep -q 'xdg_toplevel@[0-9]*\.set_app_id("org.brelmo.Brelmo")' "$WORK/app.log" || fail "the app id is not the application id"
grep -v '^\[' "$WORK/app.log" >"$WORK/own.log" || true
expect_only_log_lines "$WORK/own.log"

(cd "$WORK" && XDG_ACTIVATION_TOKEN=brelmo-e2e-token exec "$BRELMO" >"$WORK/second.log" 2>&1) &
PIDS+=($!)
wait_exit $! 2
[ "$EXIT_CODE" = 0 ] || fail "second copy exit code $EXIT_CODE"
kill -0 "$FIRST" 2>/dev/null || fail "first copy ended"
grep -q "asking for activation with the token of another copy" "$WORK/app.log" ||
    fail "the first copy was not asked to come forward with the second's token"
echo "1 passed, 0 failed"
