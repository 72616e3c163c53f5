# The display mode: under the XScreenSaver daemon, activating runs it on the
# daemon's window and deactivating ends it; by hand on a given window it
# draws undistorted, and ends cleanly on SIGTERM and when the window goes.
. "$(dirname "$0")/testlib.sh"

# The running processes given the named window to draw on (any window if
# none is named), and the mode's window.
on_window() { grep -lsxzEi "XSCREENSAVER_WINDOW=${1:-.+}" /proc/[0-9]*/environ | xargs -r grep -lsxzE "DISPLAY=$DISPLAY(\.0)?"; }
# Waits at most $1 seconds until on_window finds none on the window $2, or
# on any window.
none_on_window() {
    local tries
    for tries in $(seq $(($1 * 100))); do [ -z "$(on_window "${@:2}")" ] && return 0; sleep 0.01; done
    return 1
}
mode_window() { WINDOW=$(grep -az ^XSCREENSAVER_WINDOW= "/proc/$(cat "$COMPOSITOR_DIR/mode.pid")/environ" | tr -d '\0') &&
    WINDOW=${WINDOW#*=} && [ -n "$WINDOW" ]; } 2>/dev/null
start_server
start_xscreensaver --root
xscreensaver-command -activate >/dev/null || fail "cannot activate the daemon"
wait_started 600 "$COMPOSITOR_PID" "$WORK/compositor.log" "the mode" mode_window
expect_drawing
[ -n "$(on_window "$WINDOW")" ] || fail "the mode is not found by its window"
xscreensaver-command -deactivate >/dev/null || fail "cannot deactivate the daemon"
none_on_window 10 "$WINDOW" || fail "still running 10 seconds after deactivating: $(on_window "$WINDOW")"

# XScreenSaver's settings dialog, as the daemon's user: its preview pane
# shows the mode that ~/.xscreensaver selects, on the visual the dialog
# chooses for it, and the mode says nothing. Killed, the dialog leaves the
# mode behind, which ends when the dialog's windows go with its connection.
preview_window() { WINDOW=$(xdotool search --onlyvisible --name '^XScreenSaver Settings Preview$' | head -n 1) &&
    [ -n "$WINDOW" ]; } 2>/dev/null
STDERR=$WORK/settings.log
setpriv --reuid=65534 --regid=65534 --clear-groups env -i HOME="$COMPOSITOR_DIR" DISPLAY="$DISPLAY" \
    PATH=/usr/bin:/bin xscreensaver-settings >"$STDERR" 2>&1 &
PROGRAM_PID=$!
wait_started 600 "$PROGRAM_PID" "$STDERR" xscreensaver-settings preview_window
expect_drawing
[ -n "$(on_window "$(printf 0x%x "$WINDOW")")" ] || fail "the preview's mode is not found by its window"
! grep -h drifton: "$STDERR" "$WORK/compositor.log" || fail "the mode said something in the preview"
kill "$PROGRAM_PID"
wait_program 10
none_on_window 60 || fail "the preview's mode still running a minute after the dialog: $(on_window)"

# A window of the given size and kind (see xprobe hold-window); killing
# HELD_PID destroys it.
hold_window() {
    rm -f "$WORK/held"
    "$XPROBE" hold-window "$@" >"$WORK/held" &
    HELD_PID=$!
    wait_started 400 "$HELD_PID" /dev/null xprobe test -s "$WORK/held"
    read -r WINDOW VISUAL <"$WORK/held"
}
# On a visual whose only configuration has no depth buffer; stretched to so
# wide or tall a window, the creatures would reach beside the square.
hold_window 600 200 depthless
STDERR=$WORK/sigterm.stderr
"$DRIFTON" --window-id "$WINDOW" >"$WORK/stdout" 2>"$STDERR" &
PROGRAM_PID=$!
expect_centred 200x200+0+0 200x200+200+0 200x200+400+0
xdotool windowsize --sync "$WINDOW" 200 600 || fail "cannot resize the window"
expect_centred 200x200+0+0 200x200+0+200 200x200+0+400
kill -TERM "$PROGRAM_PID"
wait_program 10
[ "$EXIT_CODE" -eq 0 ] && [ ! -s "$STDERR" ] || fail "SIGTERM: exit code $EXIT_CODE or something said"

STDERR=$WORK/gone.stderr
"$DRIFTON" -window-id "$WINDOW" >"$WORK/stdout" 2>"$STDERR" &
PROGRAM_PID=$!
expect_drawing
kill "$HELD_PID"
wait_program 10
[ "$EXIT_CODE" -eq 1 ] || fail "window gone: exit code $EXIT_CODE"
expect_one_line "drifton: the window $WINDOW went away"

hold_window 1000 200 directcolor
STDERR=$WORK/directcolor.stderr
"$DRIFTON" --window-id "$WINDOW" >"$WORK/stdout" 2>"$STDERR"
[ $? -eq 1 ] || fail "DirectColor: not exit code 1"
expect_one_line "drifton: the X server on $DISPLAY has no double-buffered RGBA configuration for the visual $VISUAL of window $WINDOW"

STDERR=$WORK/own.stderr
start_program # without a window named: its own, as drifton's
echo "ok"
