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
started=$(date +%s%N)
kill -KILL "$COMPOSITOR_PID"
wait "$COMPOSITOR_PID" 2>/dev/null
COMPOSITOR_PID=""
wait_program 10
ended=$(date +%s%N)
echo "ended $(((ended - started) / 1000000)) ms after the compositor was killed"
[ "$EXIT_CODE" -eq 1 ] || fail "exit code $EXIT_CODE"
expect_one_line "drifton: lost the connection to the Wayland compositor $WAYLAND_DISPLAY"
echo "ok"
