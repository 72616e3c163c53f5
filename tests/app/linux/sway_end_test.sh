# Under sway: the close request ends the program with exit code 0; losing
# the compositor ends it with exit code 1 and one line that names it.
. "$(dirname "$0")/testlib.sh"

start_sway
start_sway_program
swaymsg -s "$SWAY_SOCKET" "[pid=$PROGRAM_PID] kill" >/dev/null || fail "cannot send the close request"
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "close request: exit code $EXIT_CODE"
[ ! -s "$WORK/stderr" ] || fail "close request: something on stderr"

start_sway_program
expect_drawing
expect_end_on_loss COMPOSITOR_PID "drifton: lost the connection to the Wayland compositor $WAYLAND_DISPLAY"
echo "ok"
