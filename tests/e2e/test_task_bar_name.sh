#!/usr/bin/env bash
# A task bar lists the main window: its X11 names are the application title,
# and a dock ties it to its launcher by the window class, the application id,
# and shows the installed icon.
source "$(dirname "$0")/lib.sh"

mkdir -p "$XDG_DATA_HOME/icons/hicolor/48x48/apps"
cp "$(dirname "$0")/../../resources/icons/brelmo-48.png" "$XDG_DATA_HOME/icons/hicolor/48x48/apps/org.brelmo.Brelmo.png"

start_x
start_app
W=$(window_of "$APP_PID")
for property in WM_NAME _NET_WM_NAME; do
    value=$(xprop -id "$W" "$property")
    [[ "$value" == *' = "brelmo"' ]] || fail "$property reads: $value"
done
value=$(xprop -id "$W" WM_CLASS)
[ "$value" = 'WM_CLASS(STRING) = "org.brelmo.Brelmo", "org.brelmo.Brelmo"' ] || fail "WM_CLASS reads: $value"
xprop -id "$W" _NET_WM_ICON | grep -q "Icon (48 x 48)" || fail "no window icon from the theme"
echo "1 passed, 0 failed"
