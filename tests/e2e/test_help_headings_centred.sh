#!/usr/bin/env bash
# The help text's two heading lines are drawn centred between the memo's
# left text margin and its scroll bar; the text below them is left-aligned.
source "$(dirname "$0")/lib.sh"

start_x
start_app
W=$(window_of "$APP_PID")
read -r X Y _ _ <<<"$(geometry_of "$W")"
sleep 1
click_in "$W" 535 258   # Help
expect_colour 300 200 255,255,255 "the help text is shown"
screenshot

MEMO_X=96 MEMO_W=326 SCROLL_W=16
# First and last dark column of the text row starting at window row $1,
# relative to the memo's left edge.
text_extent() {
    convert "$WORK/shot.png" -crop $((MEMO_W - SCROLL_W - 2))x10+$((X + MEMO_X))+$((Y + $1)) +repage \
        -colorspace gray -threshold 60% -depth 8 txt:- |
        awk -F'[,:]' '/#000000/ {if (min == "" || $1 < min) min = $1; if ($1 > max) max = $1}
            END {print min, max}'
}
# The scroll bar's left edge: the first column from the right half that is not white.
scroll_left=$(convert "$WORK/shot.png" -crop $((MEMO_W / 2))x1+$((X + MEMO_X + MEMO_W / 2))+$((Y + 150)) \
    +repage -depth 8 txt:- | awk -F'[,:]' '!/^#/ && !/#FFFFFF/ {print $1 + '$((MEMO_W / 2))'; exit}')
read -r note_left _ <<<"$(text_extent 87)"   # "NOTE:", left-aligned: the text margin
[ -n "$scroll_left" ] && [ -n "$note_left" ] || fail "no memo found"
# The margins are alike on both sides: the text area ends as far from the
# scroll bar as it starts from the memo's left edge.
centre=$(((note_left + scroll_left - (note_left - 1)) / 2))
for row in 61 74; do
    read -r left right <<<"$(text_extent "$row")"
    [ -n "$left" ] || fail "no heading text at row $row"
    middle=$(((left + right) / 2))
    [ $((middle - centre)) -le 3 ] && [ $((centre - middle)) -le 3 ] ||
        fail "heading at row $row spans $left..$right, middle $middle; the text area's is $centre"
done
echo "1 passed, 0 failed"
