#!/usr/bin/env bash
# Runs the Windows program under Wine on the X display in DISPLAY and drives
# it from outside as a person would, or the screen saver over the screen:
#   program_test.sh <drifton.exe> draws|escape|alt-f4|other-keys
#   program_test.sh <drifton.scr> saver-key|saver-pointer
#   program_test.sh <drifton.scr> saver-monitors <window_probe.exe>
#   program_test.sh <drifton.scr> saver-1080 <trail_restore_test.exe>
# Needs xdotool and ImageMagick's import, compare and convert, and Xephyr for
# saver-monitors, which exits with 77 (skipped) where Wine misplaces them.
set -u
case=$2
# The Linux tests' helpers, with no xprobe: the window's pictures come from
# ImageMagick.
. "$(dirname "$0")/../linux/testlib.sh" "$1" ""

command=(wine "$DRIFTON")
case $case in
saver-key) command+=(/S) ;;
saver-pointer)
    # Where the pointer is when the saver starts is where it may stay.
    xdotool mousemove --sync 100 100 || fail "cannot move the pointer"
    command+=(-s)
    ;;
saver-monitors)
    # Two monitors side by side: Xephyr's screens joined by Xinerama. With
    # RandR off, Wine takes them from Xinerama when its server starts, so
    # this test ends the prefix's server for one of its own there.
    Xephyr -displayfd 3 -screen 1024x768 -screen 800x600 +xinerama -extension RANDR -nolisten tcp -noreset \
        3>"$WORK/xephyr.display" >"$WORK/xephyr.log" 2>&1 &
    SERVER_PID=$!
    wait_started 600 "$SERVER_PID" "$WORK/xephyr.log" Xephyr test -s "$WORK/xephyr.display" || exit 1
    export DISPLAY=":$(head -n 1 "$WORK/xephyr.display")"
    wineserver -k
    trap 'cleanup; wineserver -k' EXIT
    monitors=$(wine "$3" --monitors | tr -d '\r' | tr '\n' ' ')
    if [ "$monitors" != "1024x768+0+0 800x600+1024+0 " ]; then
        echo "SKIP: $(wine --version) sees the monitors as $monitors"
        exit 77
    fi
    command+=(/s)
    ;;
saver-1080)
    # A 1920x1080 screen, which Wine takes when its server starts, as above:
    # the picture drawn at 1080 in-process, then the saver's square.
    start_server -screen 0 1920x1080x24
    wineserver -k
    trap 'cleanup; wineserver -k' EXIT
    wine "$3" --gtest_filter=TrailRestore.FullScreenPictureAtTheMonitorsSide >"$WORK/drawn.txt" &&
        grep -a "picture side 1080," "$WORK/drawn.txt" || fail "not drawn at 1080: $(cat "$WORK/drawn.txt")"
    command+=(/s)
    ;;
esac
"${command[@]}" >"$WORK/stdout" 2>"$WORK/stderr" &
PROGRAM_PID=$!

# Generous waits, only so that a hung program cannot hang the suite.
WINDOW=""
for _ in $(seq 600); do
    WINDOW=$(xdotool search --onlyvisible --name '^drifton$' 2>/dev/null | head -n 1)
    [ -n "$WINDOW" ] && break
    running || fail "the program ended before its window appeared"
    sleep 0.1
done
[ -n "$WINDOW" ] || fail "no window titled drifton appeared"
echo "window $WINDOW appeared"

expect_exit_zero() {
    wait_program 60
    echo "exit code $EXIT_CODE"
    [ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE, not 0"
}

case $case in
draws)
    expect_drawing
    press_keys Escape
    expect_exit_zero
    ;;
escape)
    press_keys Escape
    expect_exit_zero
    ;;
alt-f4)
    press_keys alt+F4
    expect_exit_zero
    ;;
other-keys)
    press_keys a space Return Tab F1 Left shift+x
    # The program takes every waiting message before it draws: a picture
    # that changes after the keys were sent shows that they were taken.
    expect_drawing
    running || fail "another key ended the program"
    [ "$(xdotool search --onlyvisible --name '^drifton$' 2>/dev/null | head -n 1)" = "$WINDOW" ] \
        || fail "the window went away after another key"
    press_keys Escape
    expect_exit_zero
    ;;
saver-key)
    expect_drawing
    press_keys a
    expect_exit_zero
    ;;
saver-monitors | saver-1080)
    # Each monitor's centred square, read from the X side.
    squares=(128x768+0+0 768x768+128+0 128x768+896+0 100x600+1024+0 600x600+1124+0 100x600+1724+0)
    [ "$case" = saver-monitors ] || squares=(420x1080+0+0 1080x1080+420+0 420x1080+1500+0)
    WINDOW=root expect_centred "${squares[@]}"
    press_keys a
    expect_exit_zero
    ;;
saver-pointer)
    # A pixel's move leaves it drawing; a few more end it.
    xdotool mousemove --sync 101 100 || fail "cannot move the pointer"
    expect_drawing
    running || fail "a move of one pixel ended the saver"
    xdotool mousemove --sync 110 100 || fail "cannot move the pointer"
    expect_exit_zero
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "PASS ($case)"
