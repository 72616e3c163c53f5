# The display mode run by hand: on a window named with --window-id it draws
# a centred square,
# ends with 0 and nothing said on SIGTERM, and with one line and 1 when the
# window goes away; a window whose visual has no OpenGL configuration is
# refused in one line; without a window named it opens its own.
. "$(dirname "$0")/testlib.sh"

# Makes a 1000 by 200 window, in a DirectColor visual with "directcolor";
# sets HELD_PID, whose end destroys the window, WINDOW and VISUAL.
hold_window() {
    rm -f "$WORK/held"
    "$XPROBE" hold-window 1000 200 "$@" >"$WORK/held" &
    HELD_PID=$!
    wait_started 400 "$HELD_PID" /dev/null xprobe test -s "$WORK/held"
    read -r WINDOW VISUAL <"$WORK/held"
}

start_mode() {
    "$DRIFTON" "$@" >"$WORK/stdout" 2>"$WORK/stderr" &
    PROGRAM_PID=$!
}

start_server
hold_window
start_mode --window-id "$WINDOW"
expect_drawing
# So wide a window shows whether the picture keeps its shape: stretched to
# the width, the creatures would reach far beside the centred square.
expect_centred 1000 200
kill -TERM "$PROGRAM_PID"
wait_program 10
[ "$EXIT_CODE" -eq 0 ] || fail "SIGTERM: exit code $EXIT_CODE"
[ ! -s "$WORK/stderr" ] || fail "SIGTERM: something on stderr"

start_mode -window-id "$WINDOW"
expect_drawing
kill "$HELD_PID"
wait_program 10
[ "$EXIT_CODE" -eq 1 ] || fail "window gone: exit code $EXIT_CODE"
expect_one_line "drifton: the window $WINDOW went away"

hold_window directcolor
"$DRIFTON" --window-id "$WINDOW" >"$WORK/stdout" 2>"$WORK/stderr"
EXIT_CODE=$?
[ "$EXIT_CODE" -eq 1 ] || fail "DirectColor: exit code $EXIT_CODE"
expect_one_line "drifton: the X server on $DISPLAY has no double-buffered RGBA configuration for the visual $VISUAL of window $WINDOW"
kill "$HELD_PID"

# Its own window, as drifton's, even with the host's variable set but empty.
start_program env XSCREENSAVER_WINDOW=
expect_drawing
kill -TERM "$PROGRAM_PID"
wait_program 10
[ "$EXIT_CODE" -eq 0 ] || fail "own window, SIGTERM: exit code $EXIT_CODE"
echo "ok"
