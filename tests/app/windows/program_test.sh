#!/usr/bin/env bash
# Runs the Windows program under Wine on the X display in DISPLAY and drives
# it from outside as a person would, or the screen saver over the screen:
#   program_test.sh <drifton.exe> draws|escape|alt-f4|other-keys
#   program_test.sh <drifton.scr> saver-key|saver-pointer
# Needs xdotool and ImageMagick's import, compare and convert.
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
