# Under weston, which leaves the decorations to its clients: the window opens
# with libdecor's own title bar. weston's screenshots read the EGL content as
# black, so only the decorations are looked at: on a black screen they are
# all there is.
. "$(dirname "$0")/testlib.sh"

# Saves a picture of the whole output as $1.
screenshot() {
    rm -rf "$WORK/shot"
    mkdir "$WORK/shot"
    (cd "$WORK/shot" && timeout 30 weston-screenshooter) || fail "cannot take a screenshot"
    mv "$WORK/shot"/wayland-screenshot-*.png "$1" || fail "no screenshot"
}

start_weston
screenshot "$WORK/before.png"
[ "$(lit_pixels "$WORK/before.png")" -eq 0 ] || fail "the screen is not black before the program"

"$DRIFTON" >"$WORK/stdout" 2>"$WORK/stderr" &
PROGRAM_PID=$!
tries=0
until screenshot "$WORK/after.png" && [ "$(lit_pixels "$WORK/after.png")" -gt 0 ]; do
    tries=$((tries + 1))
    [ $tries -gt 120 ] && fail "no window in a minute"
    running || fail "ended before its window appeared"
    sleep 0.5
done
convert "$WORK/after.png" -format '%@\n' info:
running || fail "ended by itself"
echo "ok"
