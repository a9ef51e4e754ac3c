#!/usr/bin/env bash
# What a screen reader finds over AT-SPI: hot spots by their painted words with
# true states, named lists and help text, the volume in per cent, a press
# through the Action interface that does what a click does; then Setup, a
# file, Accept and Next with the keyboard alone.
source "$(dirname "$0")/lib.sh"

mkdir -p "$WORK/clips"
gst-launch-1.0 -q audiotestsrc num-buffers=100 ! wavenc ! filesink location="$WORK/clips/a.wav" >/dev/null
start_session_bus accessible
start_x
start_app "$WORK/clips"
W=$(window_of "$APP_PID")
sleep 2
# Presses the button named $1 (if any) through its Action interface, then
# writes "name|role|enabled|showing|value|description" for every node.
read_tree() {
    /usr/bin/python3 - "${1:-}" >"$WORK/tree" <<'PY'
import sys, pyatspi
app = next(a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "org.brelmo.Brelmo")
if sys.argv[1]:
    button = pyatspi.findDescendant(app, lambda n: n.name == sys.argv[1] and n.getRoleName() == "push button")
    assert button.queryAction().doAction(0)
def walk(node):
    states = node.getState()
    try: value = "%g" % node.queryValue().currentValue
    except NotImplementedError: value = ""
    print("|".join([node.name, node.getRoleName(), str(states.contains(pyatspi.STATE_ENABLED)),
                    str(states.contains(pyatspi.STATE_SHOWING)), value, node.description]))
    for child in node: walk(child)
walk(app)
PY
}
expect_node() { grep -qxF "$1" "$WORK/tree" || fail "no node '$1' in: $(cat "$WORK/tree")"; }
read_tree
expect_node "Next|push button|True|True||Play the next file in the list"
expect_node "Accept|push button|True|False||Accept selections and exit."
# No sound output here: the slider stands at the bottom, read as 0 %.
expect_node "Volume Control|slider|True|True|0|"
expect_node "Filelist Box|list|True|False||"
read_tree Help
expect_node "Brelmo Playlist Player|text|True|True||"
xdotool key --window "$W" Escape s Tab space Return Right
sleep 1
read_tree
expect_node "Not saved|label|True|True||"
[ "$(playerctl -p brelmo metadata xesam:title 2>&1)" = a.wav ] || fail "a.wav is not playing"
echo "1 passed, 0 failed"
