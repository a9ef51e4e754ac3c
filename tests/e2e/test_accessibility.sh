#!/usr/bin/env bash
# What a screen reader finds over AT-SPI: hot spots by their painted words with
# true states, named lists, the volume in per cent, and a press through the
# Action interface that does what a click does; then Setup, a file, Accept and
# Next with the keyboard alone.
source "$(dirname "$0")/lib.sh"

mkdir -p "$WORK/clips"
gst-launch-1.0 -q audiotestsrc num-buffers=100 ! wavenc ! filesink location="$WORK/clips/a.wav" >/dev/null
start_session_bus accessible
start_x
start_app "$WORK/clips"
W=$(window_of "$APP_PID")
sleep 2
# Prints "name|role|enabled|showing|value|description" for every node of the player.
tree() {
    /usr/bin/python3 - <<'PY'
import pyatspi
app = next(a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "org.brelmo.Brelmo")
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
tree >"$WORK/tree"
expect_node "Next|push button|True|True||Play the next file in the list"
expect_node "Accept|push button|True|False||Accept selections and exit."
# No sound output here: the slider stands at the bottom, read as 0 %.
expect_node "Volume Control|slider|True|True|0|"
expect_node "Filelist Box|list|True|False||"
expect_node "Brelmo Playlist Player|text|True|False||"

# Help pressed through the Action interface opens the help view.
/usr/bin/python3 -c '
import pyatspi
app = next(a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "org.brelmo.Brelmo")
find = lambda name, role: pyatspi.findDescendant(app, lambda n: n.name == name and n.getRoleName() == role)
assert find("Help", "push button").queryAction().doAction(0)'
tree >"$WORK/tree"
expect_node "Brelmo Playlist Player|text|True|True||"
xdotool key --window "$W" Escape s Tab Down Return Right
sleep 1
tree >"$WORK/tree"
expect_node "Next|push button|True|True||Play the next file in the list"
expect_node "Save|push button|False|True||Save control file"
echo "1 passed, 0 failed"
