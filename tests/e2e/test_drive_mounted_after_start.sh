#!/usr/bin/env bash
# A RAM disk mounted while the program runs appears in the drive list, and
# goes again when it is unmounted. Runs in a
# private mount namespace (as root), so no other process sees the mounts.
if [ -z "${BRELMO_PRIVATE_MOUNTS:-}" ]; then
    if [ "$(id -u)" != 0 ] || ! unshare --mount --propagation private true 2>/dev/null; then
        echo "SKIP: needs root and a private mount namespace"
        exit 77
    fi
    BRELMO_PRIVATE_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

# A folder of our own on /media (hidden under a tmpfs, inside this namespace only).
mount -t tmpfs brelmo-media /media
mkdir /media/stick
unmount_stick() { umount /media/stick 2>/dev/null || true; }
trap 'unmount_stick; cleanup' EXIT

export QT_LOGGING_RULES="brelmo.filectl.debug=true"
start_x
start_app
W=$(window_of "$APP_PID")
sleep 1
click_in "$W" 585 257      # Setup: the drive combo's window is made

# The number of drives in the last fill of the drive list (the program logs
# each fill as: drives QList("c: []", "d: []")).
drive_count() {
    local line
    line=$(grep -a ' drives QList' "$WORK/app.log" | tail -1 || true)
    [ -n "$line" ] || { echo 0; return; }
    local quotes=${line//[^\"]/}
    echo $((${#quotes} / 2))
}

wait_drives() {  # waits (at most 5 s) until the drive list holds $1 drives
    for _ in $(seq 50); do
        [ "$(drive_count)" = "$1" ] && return 0
        sleep 0.1
    done
    fail "$2: the drive list reads $(grep -a ' drives QList' "$WORK/app.log" | tail -1)"
}

for _ in $(seq 50); do
    BEFORE=$(drive_count)
    [ "$BEFORE" -ge 1 ] && break
    sleep 0.1
done
[ "$BEFORE" -ge 1 ] || fail "the drive list was never filled"
mount -t tmpfs -o size=1m stick /media/stick
wait_drives $((BEFORE + 1)) "the RAM disk mounted after start is listed"
screenshot
umount /media/stick
wait_drives "$BEFORE" "the unmounted RAM disk is gone"
kill -0 "$APP_PID" || fail "the program ended"
echo "1 passed, 0 failed"
