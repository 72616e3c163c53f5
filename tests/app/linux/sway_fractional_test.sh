# Under sway with its output at scale 1.5, where sway offers the fractional
# scale: the window is 600 by 600 in sway's units and settles at a buffer of
# 900 by 900 with the sizes scaled by 1.5. Sway 1.7 (Debian 12) offers no
# fractional scale: the test is skipped there. Run as
#   bash sway_fractional_test.sh DRIFTON XPROBE COUNTER
. "$(dirname "$0")/testlib.sh"

start_sway "output HEADLESS-1 resolution 1920x1536 scale 1.5"
start_sway_program env WAYLAND_DEBUG=1 LD_PRELOAD="$3" DRIFTON_SIZE_LOG="$WORK/size.log"
if ! grep -q '\.global([0-9]*, "wp_fractional_scale_manager_v1"' "$WORK/stderr"; then
    echo "SKIP: $(sway --version) offers no fractional scale"
    exit 77
fi
wait_size_line "surface 900x900 sizes 12 9 3"
sway_window | jq -e '.window_rect.width == 600 and .geometry.width == 600 and .geometry.height == 600' \
    >/dev/null || fail "not 600x600 in sway's units"
expect_drawing
echo "ok: $(tr '\n' ';' <"$WORK/size.log")"
