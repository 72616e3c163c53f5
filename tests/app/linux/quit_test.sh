# Escape, Escape twice at once, and the close request each end the program
# with exit code 0, on its own.
. "$(dirname "$0")/testlib.sh"

start_server

start_program
press_keys Escape
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "Escape: exit code $EXIT_CODE"
[ ! -s "$WORK/stderr" ] || fail "Escape: something on stderr"

start_program
press_keys Escape Escape
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "Escape twice: exit code $EXIT_CODE"
[ ! -s "$WORK/stderr" ] || fail "Escape twice: something on stderr"

start_program
"$XPROBE" close "$WINDOW" || fail "cannot send the close request"
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "close request: exit code $EXIT_CODE"
[ ! -s "$WORK/stderr" ] || fail "close request: something on stderr"
echo "ok"
