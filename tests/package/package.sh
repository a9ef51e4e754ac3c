#!/usr/bin/env bash
# Checks of the Debian package and of the command line, one case per ctest
# entry: package.sh CASE BUILD_DIR APP_ID [PROGRAM [VERSION]].
#   build          builds the package from debian/ (scripts/build-deb) into
#                  BUILD_DIR/deb and unpacks the .deb into BUILD_DIR/deb/root
#                  (the fixture of the other cases)
#   desktop_file   the installed desktop file passes desktop-file-validate
#   metainfo       the installed metainfo passes appstreamcli validate
#   lintian        lintian, pedantic, on the .changes and the .deb it lists:
#                  no error or warning (info tags are printed)
#   contents       the files a desktop needs, a stripped and hardened binary
#                  that names no build folder, icons of the size their
#                  folder says
#   smoke          debian/tests/smoke on the unpacked program
#   hardening      hardening-check passes on PROGRAM (an installed copy)
#   help, version  PROGRAM answers with no display and leaves the
#                  single-instance folder alone; --version prints
#                  "brelmo VERSION"
set -euo pipefail

CASE=$1
BUILD=$(realpath "$2")
APP_ID=$3
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
PACKAGE=$BUILD/deb
ROOT=$PACKAGE/root

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

deb() {
    local debs=("$PACKAGE"/brelmo_*.deb)
    [ -f "${debs[0]}" ] || fail "no package in $PACKAGE"
    echo "${debs[0]}"
}

build() {
    "$SOURCE/scripts/build-deb" "$PACKAGE"
    rm -rf "$ROOT"
    dpkg-deb -x "$(deb)" "$ROOT"
    dpkg-deb -I "$(deb)" control
    echo "installed size: $(dpkg-deb -f "$(deb)" Installed-Size) KiB," \
        "binary $(stat -c %s "$ROOT/usr/bin/brelmo") bytes"
}

# hardening-check on binary $1. The control-flow property is left out: the
# C library's start files on Debian 12 carry none, so no program linked
# there can (/usr/bin/ls fails that check alike).
hardening() {
    hardening-check --nocfprotection "$1"
}

desktop_file() {
    desktop-file-validate "$ROOT/usr/share/applications/$APP_ID.desktop"
}

metainfo() {
    appstreamcli validate --no-net --explain "$ROOT/usr/share/metainfo/$APP_ID.metainfo.xml"
}

lintian_check() {
    lintian --pedantic --display-info --fail-on error,warning --tag-display-limit 0 \
        "$PACKAGE"/brelmo_*.changes
}

contents() {
    local expected=(
        usr/bin/brelmo usr/share/brelmo/dclick.wav usr/share/man/man1/brelmo.1.gz
        "usr/share/applications/$APP_ID.desktop" "usr/share/metainfo/$APP_ID.metainfo.xml"
        "usr/share/icons/hicolor/scalable/apps/$APP_ID.svg"
    )
    local size file
    for size in 16 22 24 32 48 64 128 256 512; do
        expected+=("usr/share/icons/hicolor/${size}x$size/apps/$APP_ID.png")
    done
    for file in "${expected[@]}"; do [ -f "$ROOT/$file" ] || fail "missing $file"; done
    for size in 16 22 24 32 48 64 128 256 512; do
        file=$ROOT/usr/share/icons/hicolor/${size}x$size/apps/$APP_ID.png
        [ "$(identify -format %wx%h "$file")" = "${size}x$size" ] || fail "$file is not ${size}px"
    done
    file "$ROOT/usr/bin/brelmo" | grep -q ", stripped" || fail "the binary is not stripped"
    hardening "$ROOT/usr/bin/brelmo" || fail "the binary lacks some hardening"
    ! grep -qF "$BUILD" "$ROOT/usr/bin/brelmo" || fail "the binary names the build folder $BUILD"
}

# Runs PROGRAM with $1 and no display, in a private runtime folder, and
# prints what it wrote on standard output.
answer() {
    local work out
    work=$(mktemp -d /tmp/brelmo-cli.XXXXXX)
    # Expanded now: at exit the function's local is gone.
    trap "rm -rf '$work'" EXIT
    mkdir -m 700 "$work/run"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work/run" \
        timeout 10 "$PROGRAM" "$1" 2>"$work/err") || fail "$1: exit code $?"
    [ ! -s "$work/err" ] || fail "$1 wrote on standard error: $(cat "$work/err")"
    [ -z "$(ls -A "$work/run")" ] || fail "$1 touched the runtime folder: $(ls -A "$work/run")"
    echo "$out"
}

case $CASE in
hardening) hardening "$4" ;;
build | desktop_file | metainfo | contents) "$CASE" ;;
lintian) lintian_check ;;
smoke) cd "$SOURCE" && BRELMO_PROGRAM=$ROOT/usr/bin/brelmo debian/tests/smoke ;;
help)
    PROGRAM=$4
    # Read whole first: grep -q leaving the pipe early would fail the writer under pipefail.
    out=$(answer --help)
    [[ $out == "Usage: brelmo "* ]] || fail "--help printed no usage: '$out'"
    ;;
version)
    PROGRAM=$4
    out=$(answer --version)
    [ "$out" = "brelmo $5" ] || fail "--version printed '$out', not 'brelmo $5'"
    ;;
*) fail "unknown case $CASE" ;;
esac
echo "1 passed, 0 failed"
