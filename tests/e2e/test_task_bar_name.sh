#!/usr/bin/env bash
# A task bar lists the main window: its X11 names are the application title,
# and a dock ties it to its launcher by the window class, the application id.
source "$(dirname "$0")/lib.sh"

start_x
start_app
W=$(window_of "$APP_PID")
for property in WM_NAME _NET_WM_NAME; do
    value=$(xprop -id "$W" "$property")
    [[ "$value" == *' = "brelmo"' ]] || fail "$property reads: $value"
done
value=$(xprop -id "$W" WM_CLASS)
[ "$value" = 'WM_CLASS(STRING) = "org.brelmo.Brelmo", "org.brelmo.Brelmo"' ] || fail "WM_CLASS reads: $value"
echo "1 passed, 0 failed"
