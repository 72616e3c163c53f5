# Shared by the program's tests: a private X server, the program running on
# it, and the clean-up of both. Sourced by a test that is run as
#   bash TEST.sh DRIFTON XPROBE

DRIFTON=$1
XPROBE=$2
WORK=$(mktemp -d)
SERVER_PID=""
COMPOSITOR_PID=""
PROGRAM_PID=""
# The X11 tests must not find a compositor named by the environment that
# runs them; the Wayland ones name their own.
unset WAYLAND_DISPLAY WAYLAND_SOCKET

cleanup() {
    if [ -n "$PROGRAM_PID" ]; then
        kill "$PROGRAM_PID" 2>/dev/null
        wait "$PROGRAM_PID" 2>/dev/null
    fi
    if [ -n "$SERVER_PID" ]; then
        kill "$SERVER_PID" 2>/dev/null
        wait "$SERVER_PID" 2>/dev/null
    fi
    if [ -n "$COMPOSITOR_PID" ]; then
        kill "$COMPOSITOR_PID" 2>/dev/null
        wait "$COMPOSITOR_PID" 2>/dev/null
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$WORK/stderr" ]; then
        sed 's/^/  program stderr: /' "$WORK/stderr" >&2
    fi
    exit 1
}

# Starts an Xvfb on a display it picks itself and exports DISPLAY. Extra
# arguments go to the server.
start_server() {
    rm -f "$WORK/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset "$@" 3>"$WORK/display" \
        2>"$WORK/xvfb.log" &
    SERVER_PID=$!
    local tries=0
    until [ -s "$WORK/display" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 400 ] || ! kill -0 "$SERVER_PID" 2>/dev/null; then
            cat "$WORK/xvfb.log" >&2
            fail "Xvfb did not start"
        fi
        sleep 0.05
    done
    export DISPLAY=":$(head -n 1 "$WORK/display")"
}

# Starts weston's headless backend with software rendering on a socket of its
# own, and exports XDG_RUNTIME_DIR and WAYLAND_DISPLAY for it.
start_weston() {
    export XDG_RUNTIME_DIR="$WORK/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    weston --backend=headless-backend.so --use-pixman --width=1280 --height=1024 --socket=wayland-test \
        --debug >"$WORK/weston.log" 2>&1 &
    COMPOSITOR_PID=$!
    local tries=0
    until [ -S "$XDG_RUNTIME_DIR/wayland-test" ] && grep -q "Loading module.*desktop-shell\|launching" \
        "$WORK/weston.log"; do
        tries=$((tries + 1))
        if [ $tries -gt 600 ] || ! kill -0 "$COMPOSITOR_PID" 2>/dev/null; then
            cat "$WORK/weston.log" >&2
            fail "weston did not start"
        fi
        sleep 0.05
    done
    export WAYLAND_DISPLAY=wayland-test
}

stop_server() {
    kill "$SERVER_PID" 2>/dev/null
    wait "$SERVER_PID" 2>/dev/null
    SERVER_PID=""
}

# Starts the program and waits for its window; sets WINDOW. Arguments, if
# any, are a command to start it through (env VARIABLE=value ...).
start_program() {
    "$@" "$DRIFTON" >"$WORK/stdout" 2>"$WORK/stderr" &
    PROGRAM_PID=$!
    WINDOW=$("$XPROBE" wait-window 60) || fail "the window did not appear"
}

# Waits at most $1 seconds for the program to end; sets EXIT_CODE.
wait_program() {
    local tries=0
    while kill -0 "$PROGRAM_PID" 2>/dev/null; do
        tries=$((tries + 1))
        [ $tries -gt $(($1 * 100)) ] && fail "still running after $1 seconds"
        sleep 0.01
    done
    wait "$PROGRAM_PID"
    EXIT_CODE=$?
    PROGRAM_PID=""
}

running() {
    kill -0 "$PROGRAM_PID" 2>/dev/null
}

# Gives the window the keyboard focus (there is no window manager) and types
# the named keys through the server's input, with no delay between them.
press_keys() {
    timeout 30 xdotool windowfocus --sync "$WINDOW" || fail "cannot focus the window"
    timeout 60 xdotool key --delay 0 "$@" || fail "cannot type $*"
}

# Fails unless the window shows something lit in two pictures half a second
# apart, and they differ; the first frames may still be on their way, so a
# few tries are allowed.
expect_drawing() {
    local counts=""
    local tries
    for tries in $(seq 20); do
        counts=$("$XPROBE" frames "$WINDOW" 500) || fail "cannot read the window"
        set -- $counts
        [ "$1" -gt 0 ] && [ "$2" -gt 0 ] && [ "$3" -gt 0 ] && return 0
    done
    fail "the window is black or still ($counts: lit, lit, changed)"
}

# Fails unless the program's error output is exactly the one given line.
expect_one_line() {
    local lines
    lines=$(wc -l <"$WORK/stderr")
    [ "$lines" -eq 1 ] || fail "expected one line on stderr, got $lines"
    [ "$(cat "$WORK/stderr")" = "$1" ] || fail "expected \"$1\""
}
