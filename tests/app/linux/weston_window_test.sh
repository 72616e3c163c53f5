# Under weston, which leaves the decorations to its clients: the window opens
# with libdecor's own title bar above the content. On a black screen with no
# panel the topmost lit rows are that title bar: as wide as the content and
# lit from edge to edge, which the drawing inside never is. No frame comes
# before the frame event of the one before, unless the bound passed.
. "$(dirname "$0")/testlib.sh"

# Saves a picture of the whole output as $1.
screenshot() {
    rm -rf "$WORK/shot"
    mkdir "$WORK/shot"
    (cd "$WORK/shot" && timeout 30 weston-screenshooter) || fail "cannot take a screenshot"
    mv "$WORK/shot"/wayland-screenshot-*.png "$1" || fail "no screenshot"
}

# Sets BOX to the lit part of the screenshot $1 (WIDTHxHEIGHT+X+Y) and BAR
# to the lit pixels of its top 20 rows, 600 wide.
read_screen() {
    local picture=$1
    BOX=$(convert "$picture" -alpha off -format '%@' info:)
    set -- $(echo "$BOX" | tr 'x+' '  ')
    convert "$picture" -alpha off -crop "600x20+$3+$4" +repage "$WORK/bar.png"
    BAR=$(lit_pixels "$WORK/bar.png")
}

start_weston
screenshot "$WORK/screen.png"
[ "$(lit_pixels "$WORK/screen.png")" -eq 0 ] || fail "the screen is not black before the program"

WAYLAND_DEBUG=1 "$DRIFTON" >"$WORK/stdout" 2>"$WORK/wayland.log" &
PROGRAM_PID=$!
tries=0
until screenshot "$WORK/screen.png" && [ "$(lit_pixels "$WORK/screen.png")" -gt 0 ] &&
    read_screen "$WORK/screen.png" && [ "${BOX%%x*}" -eq 600 ] && [ "$BAR" -eq 12000 ]; do
    tries=$((tries + 1))
    [ $tries -gt 120 ] && fail "no title bar in a minute (lit: ${BOX:-none}, top rows: ${BAR:-none} of 12000)"
    running || fail "ended before its window appeared"
    sleep 0.5
done
echo "window and decorations at $BOX"
wait_pacing "$WORK/wayland.log" paced 40
running || fail "ended by itself"
echo "ok"
