# Without a display, without a server, and on a server without GLX the
# program says in one line what failed and ends with exit code 1. A
# compositor that is not there leaves the X server to serve.
. "$(dirname "$0")/testlib.sh"

env -u DISPLAY "$DRIFTON" >"$WORK/stdout" 2>"$WORK/stderr"
EXIT_CODE=$?
[ "$EXIT_CODE" -eq 1 ] || fail "no DISPLAY: exit code $EXIT_CODE"
expect_one_line "drifton: cannot open display: DISPLAY is not set"

# A compositor named that is not there, and no X display either: one line
# for both, and nothing from the Wayland library about the runtime folder
# that is not set either.
WAYLAND_DISPLAY=no-such-compositor env -u DISPLAY -u XDG_RUNTIME_DIR "$DRIFTON" \
    >"$WORK/stdout" 2>"$WORK/stderr"
EXIT_CODE=$?
[ "$EXIT_CODE" -eq 1 ] || fail "neither: exit code $EXIT_CODE"
expect_one_line "drifton: cannot connect to the Wayland compositor no-such-compositor; cannot open display: DISPLAY is not set"

# A display number with no server behind it. Not one a server of ours had
# just given up: the tests run side by side, each server taking the lowest
# free number, so a server another test starts meanwhile could answer there
# (and its test find our window). Numbers this high are never reached.
for number in $(seq 5900 5999); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] || break
done
gone=:$number
DISPLAY=$gone "$DRIFTON" >"$WORK/stdout" 2>"$WORK/stderr"
EXIT_CODE=$?
[ "$EXIT_CODE" -eq 1 ] || fail "no server: exit code $EXIT_CODE"
expect_one_line "drifton: cannot open display $gone"

# A compositor named that is not there, with an X display: the X11 window,
# and nothing said.
start_server
start_program env XDG_RUNTIME_DIR="$WORK" WAYLAND_DISPLAY=no-such-compositor
press_keys Escape
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "X11 after no compositor: exit code $EXIT_CODE"
[ ! -s "$WORK/stderr" ] || fail "X11 after no compositor: something on stderr"
stop_server

start_server -extension GLX
"$DRIFTON" >"$WORK/stdout" 2>"$WORK/stderr"
EXIT_CODE=$?
[ "$EXIT_CODE" -eq 1 ] || fail "no GLX: exit code $EXIT_CODE"
expect_one_line "drifton: the X server on $DISPLAY has no GLX extension"
echo "ok"
