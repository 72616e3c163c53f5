# Under the XScreenSaver daemon: activating it runs the display mode on the
# daemon's full-screen window, the picture a centred square on black;
# deactivating it ends the mode, and nothing of it is left running.
. "$(dirname "$0")/testlib.sh"

# The processes that run on the daemon's window: the mode and anything it
# might have started, which inherit its environment.
mode_processes() {
    grep -lsxz "XSCREENSAVER_WINDOW=$WINDOW" /proc/[0-9]*/environ |
        xargs -r grep -lsxzE "DISPLAY=$DISPLAY(\.0)?"
}

start_server
start_xscreensaver --root
xscreensaver-command -activate >/dev/null || fail "cannot activate the daemon"
tries=0
until [ -s "$SAVER_HOME/mode.pid" ] && MODE_PID=$(cat "$SAVER_HOME/mode.pid") && [ -r "/proc/$MODE_PID/environ" ] &&
    WINDOW=$(tr '\0' '\n' <"/proc/$MODE_PID/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p') && [ -n "$WINDOW" ]; do
    tries=$((tries + 1))
    [ $tries -gt 600 ] && { cat "$WORK/xscreensaver.log" >&2; fail "the daemon did not start the mode"; }
    sleep 0.05
done
expect_drawing
# The daemon's window spans the 1024 by 768 screen.
expect_centred 1024 768

mode_processes | grep -qx "/proc/$MODE_PID/environ" || fail "the mode's process is not found by its window"
xscreensaver-command -deactivate >/dev/null || fail "cannot deactivate the daemon"
tries=0
while [ -n "$(mode_processes)" ]; do
    tries=$((tries + 1))
    [ $tries -gt 1000 ] && fail "still running 10 seconds after deactivating: $(mode_processes)"
    sleep 0.01
done
grep "drifton: " "$WORK/xscreensaver.log" >&2 && fail "the mode said something"
echo "ok"
