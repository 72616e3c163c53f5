# Keys other than Escape change nothing, one or a hundred at once; Escape is
# recognised by its symbol, also after it has moved to another key code.
. "$(dirname "$0")/testlib.sh"

start_server
start_program

press_keys a
sleep 0.5
running || fail "ended after the key a"
expect_drawing

burst=()
for key in space Return Tab q x Up Down F1 BackSpace Delete; do
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        burst+=("$key")
    done
done
press_keys "${burst[@]}"
sleep 0.5
running || fail "ended after a hundred keys"
expect_drawing

# The key code that was Escape's is now "section" and must not quit; the
# key code Escape moved to must.
codes=$("$XPROBE" move-escape) || fail "cannot move Escape"
press_keys section
sleep 0.5
running || fail "ended on the key code Escape had before ($codes)"
expect_drawing
press_keys Escape
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "moved Escape: exit code $EXIT_CODE"
echo "ok"
