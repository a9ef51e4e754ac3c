#!/usr/bin/env bash
# Start-up of the unpacked package's program beside the build tree's, turn
# about, under one private X server: milliseconds from exec to the window
# being mapped, median and spread of each.
#
#   bench/InstalledStartup.sh BUILD_DIR [runs]   (default 20 runs of each)
#
# Needs the package unpacked by `ctest -R package.build` first.
BUILD=$(realpath "$1")
RUNS=${2:-20}
source "$(dirname "$0")/../tests/e2e/lib.sh" "$BUILD/brelmo"
INSTALLED=$BUILD/deb/root/usr/bin/brelmo
[ -x "$INSTALLED" ] || fail "no unpacked package: run ctest -R package.build first"

# Prints the milliseconds from exec of $1 to its visible window.
startup_ms() {
    local start pid
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1 &
    pid=$!
    # Polled, since xdotool's own --sync waits in half-second steps.
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do sleep 0.005; done
    echo $((($(date +%s%N) - start) / 1000000))
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

summary() {
    sort -n | awk '{v[NR] = $1} END {
        printf "median %d ms, min %d, p90 %d, max %d (%d runs)\n",
            v[int((NR + 1) / 2)], v[1], v[int(NR * 0.9 + 0.5)], v[NR], NR }'
}

start_x
for _ in 1 2; do startup_ms "$BRELMO" >/dev/null; startup_ms "$INSTALLED" >/dev/null; done
for _ in $(seq "$RUNS"); do
    startup_ms "$BRELMO" >>"$WORK/build.ms"
    startup_ms "$INSTALLED" >>"$WORK/installed.ms"
done
echo "build tree: $(summary <"$WORK/build.ms")"
echo "installed:  $(summary <"$WORK/installed.ms")"
