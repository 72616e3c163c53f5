# The window's name, class, fixed size and place, and a picture that is lit
# and moves.
. "$(dirname "$0")/testlib.sh"

start_server
start_program

"$XPROBE" properties "$WINDOW" >"$WORK/properties" || fail "cannot read the properties"
cat >"$WORK/expected" <<'END'
WM_NAME STRING drifton
_NET_WM_NAME UTF8_STRING drifton
WM_CLASS drifton drifton
position 0 0
minimum size 600 600
maximum size 600 600
WM_PROTOCOLS WM_DELETE_WINDOW
geometry 0 0 600 600
END
diff -u "$WORK/expected" "$WORK/properties" || fail "the window's properties differ"

expect_drawing
running || fail "ended by itself"
echo "ok"
