#!/usr/bin/env bash
# A task bar lists the main window: its X11 names are the application title.
source "$(dirname "$0")/lib.sh"

start_x
start_app
W=$(window_of "$APP_PID")
for property in WM_NAME _NET_WM_NAME; do
    value=$(xprop -id "$W" "$property")
    [[ "$value" == *' = "brelmo"' ]] || fail "$property reads: $value"
done
echo "1 passed, 0 failed"
