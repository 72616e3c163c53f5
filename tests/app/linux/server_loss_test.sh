# When the X server goes away under the running program, it says so in one
# line and ends with exit code 1 instead of hanging or crashing.
. "$(dirname "$0")/testlib.sh"

start_server
start_program
expect_drawing
display=$DISPLAY
started=$(date +%s%N)
kill -KILL "$SERVER_PID"
wait "$SERVER_PID" 2>/dev/null
SERVER_PID=""
wait_program 10
ended=$(date +%s%N)
echo "ended $(((ended - started) / 1000000)) ms after the server was killed"
[ "$EXIT_CODE" -eq 1 ] || fail "exit code $EXIT_CODE"
expect_one_line "drifton: lost the connection to the X server $display"
echo "ok"
