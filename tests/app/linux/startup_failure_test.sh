# Without a display, without a server, and on a server without GLX the
# program says in one line what failed and ends with exit code 1.
. "$(dirname "$0")/testlib.sh"

env -u DISPLAY "$DRIFTON" >"$WORK/stdout" 2>"$WORK/stderr"
EXIT_CODE=$?
[ "$EXIT_CODE" -eq 1 ] || fail "no DISPLAY: exit code $EXIT_CODE"
expect_one_line "drifton: cannot open display: DISPLAY is not set"

# A display number with no server behind it: the one a server had, once it
# has gone.
start_server
gone=$DISPLAY
stop_server
DISPLAY=$gone "$DRIFTON" >"$WORK/stdout" 2>"$WORK/stderr"
EXIT_CODE=$?
[ "$EXIT_CODE" -eq 1 ] || fail "no server: exit code $EXIT_CODE"
expect_one_line "drifton: cannot open display $gone"

start_server -extension GLX
"$DRIFTON" >"$WORK/stdout" 2>"$WORK/stderr"
EXIT_CODE=$?
[ "$EXIT_CODE" -eq 1 ] || fail "no GLX: exit code $EXIT_CODE"
expect_one_line "drifton: the X server on $DISPLAY has no GLX extension"
echo "ok"
