# Keys other than Escape change nothing, one or a hundred at once; Escape is
# recognised by its symbol, also after it has moved to another key code.
# The loop takes every waiting event before it draws, so frames that go on
# changing after the keys were sent show that they were taken.
. "$(dirname "$0")/testlib.sh"

start_server
start_program

press_keys a
expect_drawing
running || fail "ended after the key a"

burst=()
for key in space Return Tab q x Up Down F1 BackSpace Delete; do
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        burst+=("$key")
    done
done
press_keys "${burst[@]}"
expect_drawing
running || fail "ended after a hundred keys"

# The key code that was Escape's is now "section" and must not quit; the
# key code Escape moved to must.
codes=$("$XPROBE" move-escape) || fail "cannot move Escape"
press_keys section
expect_drawing
running || fail "ended on the key code Escape had before ($codes)"
press_keys Escape
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "moved Escape: exit code $EXIT_CODE"
echo "ok"
