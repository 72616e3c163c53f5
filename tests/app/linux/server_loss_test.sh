# When the X server goes away under the running program, it says so in one
# line and ends with exit code 1 instead of hanging or crashing.
. "$(dirname "$0")/testlib.sh"

start_server
start_program
expect_drawing
expect_end_on_loss SERVER_PID "drifton: lost the connection to the X server $DISPLAY"
echo "ok"
