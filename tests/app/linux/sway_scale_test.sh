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

# A 600-pixel picture that the compositor doubled would be the same as its
# every other pixel doubled.
picture "$WORK/window.png" || fail "cannot take a picture of the window"
convert "$WORK/window.png" -sample 50% -sample 200% "$WORK/doubled.png"
differing=$(compare -metric AE "$WORK/window.png" "$WORK/doubled.png" null: 2>&1)
[ "$(identify -format '%wx%h' "$WORK/window.png")" = 1200x1200 ] && [ "$differing" -gt 0 ] ||
    fail "the picture is a 600-pixel one doubled"

for output in HEADLESS-2:"surface 600x600 sizes 8 6 2" HEADLESS-1:"surface 1200x1200 sizes 16 12 4"; do
    swaymsg -s "$SWAY_SOCKET" "[pid=$PROGRAM_PID] move to output ${output%%:*}" >/dev/null ||
        fail "cannot move the window to ${output%%:*}"
    wait_size_line "${output#*:}"
done
sway_window | jq -e '.window_rect.width == 600 and .window_rect.height == 600' >/dev/null ||
    fail "not 600x600 in sway's units after the moves"
echo "ok: $(tr '\n' ';' <"$WORK/size.log")"
