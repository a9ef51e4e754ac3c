#!/usr/bin/env bash
# The package on a bare Debian 12: a minimal root made by debootstrap from
# the archive apt uses here, the .deb installed there by apt without its
# recommendations (so Depends alone must carry it), --version answered before
# anything else is added, then debian/tests run in that root by autopkgtest's
# chroot runner on the source the package was built from. bare_debian.sh
# BUILD_DIR (after package.build); needs root and the archive.
set -euo pipefail
BUILD=$(realpath "$1")
DEBS=$BUILD/deb
ROOT=$DEBS/bare

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

unmount() {
    if mountpoint -q "$ROOT/proc"; then umount "$ROOT/proc"; fi
}

in_root() { chroot "$ROOT" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

# apt-get install in the root, quietly; $@: what to install.
install_in_root() {
    in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" \
        >>"$DEBS/bare.log" 2>&1 || fail "apt: $(tail -n 20 "$DEBS/bare.log")"
}

[ "$(id -u)" = 0 ] || { echo "bare_debian: needs root (debootstrap, chroot), skipped"; exit 77; }
deb=$(ls "$DEBS"/brelmo_*.deb) || fail "no package in $DEBS"
mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Release: bookworm' 'Component: main' \
    'Identifier: Packages' | head -n 1)
[ -n "$mirror" ] || fail "apt knows no bookworm main archive to bootstrap from"

unmount
rm -rf --one-file-system "$ROOT"
trap unmount EXIT
trap 'exit 1' TERM INT
SECONDS=0
debootstrap --variant=minbase bookworm "$ROOT" "$mirror" >"$DEBS/bare.log" 2>&1 ||
    fail "debootstrap: $(tail -n 20 "$DEBS/bare.log")"
echo "bare root made in ${SECONDS}s"
mount -t proc proc "$ROOT/proc"
cp /etc/resolv.conf "$ROOT/etc/resolv.conf"
cp "$deb" "$ROOT/tmp/"
in_root apt-get update -q >>"$DEBS/bare.log" 2>&1
install_in_root "/tmp/$(basename "$deb")"
echo "installed with its dependencies at ${SECONDS}s: $(in_root dpkg-query -W -f='${Package}\n' | wc -l) packages"
in_root brelmo --version
bash "$(dirname "$0")/package.sh" hardening "$BUILD" - "$ROOT/usr/bin/brelmo"

# The plug-ins the player creates by name, and those an MJPEG AVI needs,
# come with the package's dependencies (the inspector brings none).
install_in_root gstreamer1.0-tools
for element in playbin appsrc appsink audioconvert audioresample videoconvert \
    pulsesink alsasink fakesink avidemux jpegdec; do
    in_root gst-inspect-1.0 --exists "$element" || fail "no GStreamer element $element"
done

autopkgtest --no-built-binaries "$deb" "$DEBS/brelmo" -- chroot "$ROOT" >"$DEBS/autopkgtest.log" 2>&1 ||
    fail "autopkgtest: $(tail -n 40 "$DEBS/autopkgtest.log")"
grep -A1 ' summary$' "$DEBS/autopkgtest.log"
echo "bare Debian 12 test done in ${SECONDS}s"
