# Shared by the program's tests: a private X server or Wayland compositor,
# the program running on it, and the clean-up of them. Sourced by a test that
# is run as
#   bash TEST.sh DRIFTON XPROBE
# The servers are started as the scripts start them, from the source tree
# this file is in, wherever the test runs from.
. "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/common.sh"

DRIFTON=$1
XPROBE=$2
WORK=$(mktemp -d)
SERVER_PID=""
PROGRAM_PID=""
COMPOSITOR_PID=""
COMPOSITOR_DIR=""
SWAY_SOCKET=""
# The running program's error output, which fail shows. Where a program of
# an earlier step may outlive it (a child its host left behind), each step
# gives its program a file of its own, so that a late line from one cannot
# land in the next's.
STDERR=$WORK/stderr

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
    stop_compositor
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$STDERR" ]; then
        sed 's/^/  program stderr: /' "$STDERR" >&2
    fi
    exit 1
}

# Starts an Xvfb on a display it picks itself and exports DISPLAY. Extra
# arguments go to the server.
start_server() {
    start_xvfb "$WORK" "$@" || exit 1
    SERVER_PID=$XVFB_PID
}

stop_server() {
    kill "$SERVER_PID" 2>/dev/null
    wait "$SERVER_PID" 2>/dev/null
    SERVER_PID=""
}

# Starts the program and waits for its window; sets WINDOW. Arguments, if
# any, are a command to start it through (env VARIABLE=value ...).
start_program() {
    "$@" "$DRIFTON" >"$WORK/stdout" 2>"$STDERR" &
    PROGRAM_PID=$!
    WINDOW=$("$XPROBE" wait-window 60) || fail "the window did not appear"
}

# Waits at most $1 seconds for the program to end; sets EXIT_CODE.
wait_program() {
    local tries=0
    while running; do
        tries=$((tries + 1))
        [ $tries -gt $(($1 * 100)) ] && fail "still running after $1 seconds"
        sleep 0.01
    done
    wait "$PROGRAM_PID"
    EXIT_CODE=$?
    PROGRAM_PID=""
}

# A finished program stays a zombie until waited for; that is not running.
running() {
    local state
    state=$(ps -o stat= -p "$PROGRAM_PID" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "${state:0:1}" != Z ]
}

# Gives the window the keyboard focus (there is no window manager) and types
# the named keys through the server's input, with no delay between them.
# Under sway, which focuses a new window itself, they come from a virtual
# keyboard that appears for them and goes again; the seat has no other, so
# the keyboard is given a second to be announced before the keys.
press_keys() {
    if [ -n "$SWAY_SOCKET" ]; then
        local keys=() key
        for key in "$@"; do
            keys+=(-k "$key")
        done
        timeout 60 wtype -s 1000 "${keys[@]}" || fail "cannot type $*"
        return
    fi
    timeout 30 xdotool windowfocus --sync "$WINDOW" || fail "cannot focus the window"
    timeout 60 xdotool key --delay 0 "$@" || fail "cannot type $*"
}

# The non-black pixels of a picture.
lit_pixels() {
    convert "$1" -precision 16 -alpha off -fill white +opaque black -format '%[fx:int(mean*w*h+0.5)]' info:
}

# A picture of the window in the named file: grim's under sway, else
# ImageMagick's of the X window.
picture() {
    if [ -n "$SWAY_SOCKET" ]; then
        grim -g "$WINDOW" "$1"
    else
        import -silent -window "$WINDOW" "$1"
    fi
}

# Two pictures of the window half a second apart: prints the lit pixels of
# each and the pixels that changed. xprobe takes them on X where given.
frames() {
    if [ -z "$SWAY_SOCKET" ] && [ -n "$XPROBE" ]; then
        "$XPROBE" frames "$WINDOW" 500
        return
    fi
    picture "$WORK/first.png" && sleep 0.5 && picture "$WORK/second.png" || return 1
    echo "$(lit_pixels "$WORK/first.png") $(lit_pixels "$WORK/second.png")" \
        "$(compare -precision 16 -metric AE "$WORK/first.png" "$WORK/second.png" null: 2>&1)"
}

# Fails unless the window shows something lit in two pictures half a second
# apart, and they differ; the first frames may still be on their way (under
# the arm64 emulator for many seconds), so up to a minute of tries is allowed.
expect_drawing() {
    local counts=""
    local tries
    for tries in $(seq 120); do
        counts=$(frames) || fail "cannot read the window"
        set -- $counts
        [ "$1" -gt 0 ] && [ "$2" -gt 0 ] && [ "$3" -gt 0 ] && return 0
    done
    fail "the window is black or still ($counts: lit, lit, changed)"
}

# Fails unless, once the window draws, a picture of it has something lit in
# the middle one of each three parts given (as convert -crop takes them) and
# nothing in the two beside it:
#   expect_centred BESIDE SQUARE BESIDE [BESIDE SQUARE BESIDE...]
expect_centred() {
    expect_drawing
    picture "$WORK/window.png" || fail "cannot take a picture of the window"
    local part lit=""
    for part in "$@"; do
        convert "$WORK/window.png" -crop "$part" +repage "$WORK/part.png" && lit="$lit $(lit_pixels "$WORK/part.png")"
    done
    [[ "$lit" =~ ^(\ 0\ [1-9][0-9]*\ 0)+$ ]] && [ "$(wc -w <<<"$lit")" -eq $# ] ||
        fail "not centred (lit beside, square, beside:$lit)"
}

# Fails unless the program's error output is exactly the one given line.
expect_one_line() {
    local lines
    lines=$(wc -l <"$STDERR")
    [ "$lines" -eq 1 ] || fail "expected one line on stderr, got $lines"
    [ "$(cat "$STDERR")" = "$1" ] || fail "expected \"$1\""
}

# Starts a headless sway with no X server and points the Wayland clients
# started here at it. Arguments, if any, are lines added to its
# configuration.
start_sway() {
    start_sway_headless disable "$WORK/compositor.log" "$@" || exit 1
    COMPOSITOR_PID=$SWAY_PID
    COMPOSITOR_DIR=$SWAY_DIR
    export XDG_RUNTIME_DIR=$COMPOSITOR_DIR
    export WAYLAND_DISPLAY=wayland-1
}

# Starts weston's headless backend with a black background and no panel, so
# that whatever is not black on its screenshots belongs to a window. It runs
# as root and offers the screenshot protocol only with --debug.
start_weston() {
    COMPOSITOR_DIR=$(mktemp -d)
    printf '[shell]\nbackground-color=0xff000000\npanel-position=none\n' >"$COMPOSITOR_DIR/weston.ini"
    XDG_RUNTIME_DIR=$COMPOSITOR_DIR weston --config="$COMPOSITOR_DIR/weston.ini" \
        --backend=headless-backend.so --use-pixman --width=1280 --height=1024 \
        --socket=wayland-test --debug >"$WORK/compositor.log" 2>&1 &
    COMPOSITOR_PID=$!
    export XDG_RUNTIME_DIR=$COMPOSITOR_DIR
    export WAYLAND_DISPLAY=wayland-test
    wait_started 600 "$COMPOSITOR_PID" "$WORK/compositor.log" weston weston_ready || exit 1
}

# weston is ready once it listens and has launched its shell.
weston_ready() {
    [ -S "$COMPOSITOR_DIR/wayland-test" ] && grep -q launching "$WORK/compositor.log"
}

# Kills the server or compositor whose process id the named variable holds
# and expects the running program to end within ten seconds with exit code 1
# and the one given line; prints how long that took.
expect_end_on_loss() {
    local pid=${!1}
    local started ended
    started=$(date +%s%N)
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    printf -v "$1" '%s' ""
    wait_program 10
    ended=$(date +%s%N)
    echo "ended $(((ended - started) / 1000000)) ms after the kill"
    [ "$EXIT_CODE" -eq 1 ] || fail "exit code $EXIT_CODE"
    expect_one_line "$2"
}

stop_compositor() {
    if [ -n "$COMPOSITOR_PID" ]; then
        kill "$COMPOSITOR_PID" 2>/dev/null
        wait "$COMPOSITOR_PID" 2>/dev/null
        COMPOSITOR_PID=""
    fi
    if [ -n "$COMPOSITOR_DIR" ]; then
        rm -rf "$COMPOSITOR_DIR"
        COMPOSITOR_DIR=""
    fi
}

# The program's window in sway's tree, as one line of JSON.
sway_window() {
    swaymsg -s "$SWAY_SOCKET" -t get_tree |
        jq -ec --argjson pid "$PROGRAM_PID" 'first(.. | objects | select(.pid? == $pid))'
}

# Counts the frames after the first in the libwayland trace (WAYLAND_DEBUG=1)
# $1, as attaches to the program's first surface: "paced" after the frame
# event of its pending frame request, "timed_out" without it but 100 ms (the
# bound) or more after the frame before, "early" sooner. Prints the counts;
# exits 2 on an early frame, else 0 once there are $3 frames of kind $2.
pacing() {
    awk -v kind="${2:-}" -v want="${3:-0}" '{ gsub(/#/, "@"); t = substr($0, 2) + 0 }
        !s && /create_surface\(new id/ { s = $NF; sub(/\)/, "", s) }
        s && index($0, " " s ".frame(") { p = $NF; sub(/\)/, "", p) }
        p && index($0, " " p ".done(") { answered = 1; p = "" }
        s && index($0, " " s ".attach(") {
            if (frames++) { c[answered ? "paced" : t - last >= 100 ? "timed_out" : "early"]++ }
            answered = 0; last = t
        }
        END {
            printf "paced %d timed_out %d early %d\n", c["paced"], c["timed_out"], c["early"]
            exit c["early"] ? 2 : c[kind] < want
        }' "$1"
}

# Waits for pacing "$@" to find its frames; sets PACING to the counts.
wait_pacing() {
    local tries=0
    until PACING=$(pacing "$@"); do
        [ $? -eq 2 ] && fail "a frame came before the frame event and the bound ($PACING)"
        tries=$((tries + 1))
        [ $tries -gt 1200 ] && fail "not $3 frames $2 in two minutes ($PACING)"
        running || fail "ended while presenting ($PACING)"
        sleep 0.1
    done
}

# Starts the program under sway and waits for its window; sets WINDOW to the
# place and size of its content on the screen, as grim -g takes them.
# Arguments, if any, are a command to start it through.
start_sway_program() {
    "$@" "$DRIFTON" >"$WORK/stdout" 2>"$STDERR" &
    PROGRAM_PID=$!
    local tries=0
    until sway_window >"$WORK/window.json" 2>/dev/null; do
        tries=$((tries + 1))
        [ $tries -gt 600 ] && fail "the window did not appear"
        running || fail "ended before its window appeared"
        sleep 0.1
    done
    WINDOW=$(jq -r '"\(.rect.x + .window_rect.x),\(.rect.y + .window_rect.y)" +
        " \(.window_rect.width)x\(.window_rect.height)"' "$WORK/window.json")
}

# Fails unless every frame that the preloaded frame counter (bench/SwapCounter.cpp) logged to
# $WORK/size.log so far was drawn as the one given line.
expect_size_log() {
    [ "$(cat "$WORK/size.log")" = "$1" ] || fail "not drawn as \"$1\" all along: $(tr '\n' ';' <"$WORK/size.log")"
}

# Waits until the last line that the preloaded frame counter (bench/SwapCounter.cpp) logged to
# $WORK/size.log is the given one; the first frames may be slow to come,
# under the emulator for many seconds.
wait_size_line() {
    local tries=0
    until [ "$(tail -n 1 "$WORK/size.log" 2>/dev/null)" = "$1" ]; do
        tries=$((tries + 1))
        [ $tries -gt 1200 ] && fail "not \"$1\" in two minutes: $(tr '\n' ';' <"$WORK/size.log" 2>/dev/null)"
        running || fail "ended while drawing"
        sleep 0.1
    done
}

# Starts the XScreenSaver daemon as nobody in a home of its own, stopped as a
# compositor is, with one mode: the program with the given arguments, named
# drifton, which records its process id in $COMPOSITOR_DIR/mode.pid.
start_xscreensaver() {
    COMPOSITOR_DIR=$(mktemp -d)
    printf '#!/bin/sh\necho $$ >"%s/mode.pid"\nexec "%s" "$@"\n' "$COMPOSITOR_DIR" "$DRIFTON" >"$COMPOSITOR_DIR/drifton"
    printf 'mode: one\nselected: 0\nfade: False\nunfade: False\nsplash: False\nprograms: %s %s\n' \
        "$COMPOSITOR_DIR/drifton" "$*" >"$COMPOSITOR_DIR/.xscreensaver"
    chmod 755 "$COMPOSITOR_DIR/drifton" && chown -R 65534:65534 "$COMPOSITOR_DIR"
    setpriv --reuid=65534 --regid=65534 --clear-groups env -i HOME="$COMPOSITOR_DIR" DISPLAY="$DISPLAY" \
        PATH=/usr/bin:/bin xscreensaver --verbose >"$WORK/compositor.log" 2>&1 &
    COMPOSITOR_PID=$!
    wait_started 600 "$COMPOSITOR_PID" "$WORK/compositor.log" xscreensaver xscreensaver-command -version
}
