#!/usr/bin/env bash
# Runs the Windows program under Wine on the X display in DISPLAY and drives
# it from outside as a person would:
#   program_test.sh <drifton.exe> draws|escape|alt-f4|other-keys
# Needs xdotool and ImageMagick's import, compare and convert.
set -u
case=$2
# The Linux tests' helpers, with no xprobe: the window's pictures come from
# ImageMagick.
. "$(dirname "$0")/../linux/testlib.sh" "$1" ""

wine "$DRIFTON" >"$WORK/stdout" 2>"$WORK/stderr" &
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
*)
    fail "unknown case"
    ;;
esac
echo "PASS ($case)"
