# Drawn at the size shown on X11: under a desktop at scale 2 (Xft.dpi 192)
# the window is 1200 by 1200 and every frame is drawn there with doubled
# sizes; the display mode on the root of a 1920x1080 screen draws its
# centred square at 1080, sizes 1.8 times. Run as
#   bash scale_test.sh DRIFTON XPROBE SAVER COUNTER
. "$(dirname "$0")/testlib.sh"
SAVER=$3
COUNTER=$4

start_server -screen 0 1600x1300x24
echo 'Xft.dpi: 192' | xrdb -nocpp -merge || fail "cannot set Xft.dpi"
start_program env LD_PRELOAD="$COUNTER" DRIFTON_SIZE_LOG="$WORK/size.log"
"$XPROBE" properties "$WINDOW" | grep -qx "maximum size 1200 1200" || fail "not a fixed 1200 by 1200 window"
expect_drawing
expect_size_log "surface 1200x1200 sizes 16 12 4"
kill "$PROGRAM_PID"
wait_program 10

rm -f "$WORK/size.log"
stop_server
start_server -screen 0 1920x1080x24
env LD_PRELOAD="$COUNTER" DRIFTON_SIZE_LOG="$WORK/size.log" "$SAVER" --root >"$WORK/stdout" 2>"$WORK/stderr" &
PROGRAM_PID=$!
WINDOW=$(xwininfo -root | awk '/Window id:/ { print $4 }')
expect_centred 420x1080+0+0 1080x1080+420+0 420x1080+1500+0
expect_size_log "surface 1920x1080 sizes 14.4 10.8 3.6"
echo "ok"
