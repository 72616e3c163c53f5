#!/usr/bin/env bash
# Runs the Windows program under Wine on the X display in DISPLAY and drives
# it from outside as a person would:
#   program_test.sh <drifton.exe> draws|escape|alt-f4|other-keys <scratch folder>
# Needs xdotool and ImageMagick's import, compare and identify.
set -u
program=$1
case=$2
scratch=$3
mkdir -p "$scratch"

fail() {
    echo "FAIL ($case): $*"
    exit 1
}

wine "$program" >"$scratch/$case.log" 2>&1 &
pid=$!

# A finished program stays a zombie until waited for; that is not running.
running() {
    local state
    state=$(ps -o stat= -p "$pid" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "${state:0:1}" != Z ]
}

cleanup() {
    if running; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
}
trap cleanup EXIT

# Generous waits, only so that a hung program cannot hang the suite.
window=""
for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name '^drifton$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    running || fail "the program ended before its window appeared"
    sleep 0.1
done
[ -n "$window" ] || fail "no window titled drifton appeared"
echo "window $window appeared"

# Gives the program's exit code once it has ended, or fails.
exit_code() {
    for _ in $(seq 600); do
        if ! running; then
            wait "$pid"
            return $?
        fi
        sleep 0.1
    done
    fail "still running after a minute"
}

screenshot() {
    import -silent -window "$window" "$scratch/$1" || fail "no screenshot of the window"
}

focus() {
    timeout 20 xdotool windowfocus --sync "$window" || fail "cannot give the window the keyboard focus"
}

expect_exit_zero() {
    local code
    exit_code
    code=$?
    echo "exit code $code"
    [ "$code" -eq 0 ] || fail "exit code $code, not 0"
}

case $case in
draws)
    # The first frame can take a while in a fresh prefix; from then on every
    # second shows a different picture.
    brightest=0
    for _ in $(seq 120); do
        screenshot first.png
        brightest=$(identify -format '%[fx:maxima]' "$scratch/first.png")
        awk -v v="$brightest" 'BEGIN { exit !(v + 0 > 0.5) }' && break
        sleep 0.5
    done
    echo "brightest value of the first picture drawn: $brightest"
    awk -v v="$brightest" 'BEGIN { exit !(v + 0 > 0.5) }' || fail "the window stays black"
    sleep 1
    screenshot second.png
    changed=$(compare -metric AE "$scratch/first.png" "$scratch/second.png" null: 2>&1)
    brightest=$(identify -format '%[fx:maxima]' "$scratch/second.png")
    echo "pixels changed a second later: $changed, brightest value: $brightest"
    awk -v n="$changed" 'BEGIN { exit !(n + 0 > 0) }' || fail "the picture does not change"
    awk -v v="$brightest" 'BEGIN { exit !(v + 0 > 0.5) }' || fail "the picture turned black"
    focus
    xdotool key Escape
    expect_exit_zero
    ;;
escape)
    focus
    xdotool key Escape
    expect_exit_zero
    ;;
alt-f4)
    focus
    xdotool key alt+F4
    expect_exit_zero
    ;;
other-keys)
    focus
    xdotool key a space Return Tab F1 Left shift+x
    # The program takes every waiting message before it draws: a picture
    # that changes after the keys were sent shows that they were taken.
    screenshot after-keys.png
    sleep 1
    screenshot later.png
    changed=$(compare -metric AE "$scratch/after-keys.png" "$scratch/later.png" null: 2>&1)
    echo "pixels changed in a second after the keys: $changed"
    awk -v n="$changed" 'BEGIN { exit !(n + 0 > 0) }' || fail "the picture stopped after another key"
    running || fail "another key ended the program"
    [ "$(xdotool search --onlyvisible --name '^drifton$' 2>/dev/null | head -n 1)" = "$window" ] \
        || fail "the window went away after another key"
    xdotool key Escape
    expect_exit_zero
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "PASS ($case)"
