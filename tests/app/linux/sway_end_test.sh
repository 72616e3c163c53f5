# Under sway: the close request ends the program with exit code 0, also
# while its window is hidden on another workspace, where it draws at the
# bound's pace; losing the compositor ends it with exit code 1 and one line
# that names it.
. "$(dirname "$0")/testlib.sh"

start_sway
start_sway_program
swaymsg -s "$SWAY_SOCKET" "[pid=$PROGRAM_PID] kill" >/dev/null || fail "cannot send the close request"
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "close request: exit code $EXIT_CODE"
[ ! -s "$WORK/stderr" ] || fail "close request: something on stderr"

start_sway_program env WAYLAND_DEBUG=1
wait_pacing "$WORK/stderr" paced 40
swaymsg -s "$SWAY_SOCKET" "[pid=$PROGRAM_PID] move to workspace 2" >/dev/null || fail "cannot hide the window"
wait_pacing "$WORK/stderr" timed_out 10
swaymsg -s "$SWAY_SOCKET" "[pid=$PROGRAM_PID] kill" >/dev/null || fail "cannot send the close request"
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "close request while hidden: exit code $EXIT_CODE"
echo "shown, then hidden: $PACING"

start_sway_program
expect_drawing
expect_end_on_loss COMPOSITOR_PID "drifton: lost the connection to the Wayland compositor $WAYLAND_DISPLAY"
echo "ok"
