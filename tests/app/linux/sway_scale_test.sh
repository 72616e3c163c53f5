# Under sway with an output at scale 2 beside one at scale 1: the window is
# 600 by 600 in sway's units wherever it is, and drawn sharp at the scale of
# its output, with the sizes scaled alike, from its first frame; moved to the
# other output and back, it is drawn at that output's scale. Run as
#   bash sway_scale_test.sh DRIFTON XPROBE COUNTER
. "$(dirname "$0")/testlib.sh"

start_sway "output HEADLESS-1 resolution 2560x2048 scale 2"
swaymsg -s "$SWAY_SOCKET" create_output >/dev/null || fail "cannot add an output"
swaymsg -s "$SWAY_SOCKET" focus output HEADLESS-1 >/dev/null || fail "cannot focus the first output"
start_sway_program env LD_PRELOAD="$3" DRIFTON_SIZE_LOG="$WORK/size.log"
jq -r '"content \(.window_rect.width)x\(.window_rect.height)", "geometry \(.geometry.width)x\(.geometry.height)"' \
    "$WORK/window.json" >"$WORK/properties"
printf 'content 600x600\ngeometry 600x600\n' | diff -u - "$WORK/properties" || fail "not 600x600 in sway's units"
expect_drawing
expect_size_log "surface 1200x1200 sizes 16 12 4"

for output in HEADLESS-2:"surface 600x600 sizes 8 6 2" HEADLESS-1:"surface 1200x1200 sizes 16 12 4"; do
    swaymsg -s "$SWAY_SOCKET" "[pid=$PROGRAM_PID] move to output ${output%%:*}" >/dev/null ||
        fail "cannot move the window to ${output%%:*}"
    wait_size_line "${output#*:}"
done
echo "ok: $(tr '\n' ';' <"$WORK/size.log")"
