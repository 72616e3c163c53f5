# Under sway: the window's title, app id, shell and fixed 600x600 content
# (which sway floats, as it does any window whose minimum and maximum sizes
# are equal), a picture that is lit and moves; any key but Escape changes
# nothing, and Escape ends the program with exit code 0.
. "$(dirname "$0")/testlib.sh"

start_sway
start_sway_program

# window_rect is the content as sway lays it out, geometry the size the
# program gave its surface.
jq -r '"name \(.name)", "app_id \(.app_id)", "shell \(.shell)", "type \(.type)",
    "content \(.window_rect.width)x\(.window_rect.height)",
    "geometry \(.geometry.width)x\(.geometry.height)"' "$WORK/window.json" >"$WORK/properties"
cat >"$WORK/expected" <<'END'
name drifton
app_id drifton
shell xdg_shell
type floating_con
content 600x600
geometry 600x600
END
diff -u "$WORK/expected" "$WORK/properties" || fail "the window's properties differ"
expect_drawing

# Each press comes from a new virtual keyboard with a keymap of its own that
# gives its first key the code Escape has on a real keyboard: only a program
# that reads keysyms from the current keymap tells these keys from Escape.
press_keys a space Return q
expect_drawing
running || fail "ended after other keys"

press_keys Escape
wait_program 30
[ "$EXIT_CODE" -eq 0 ] || fail "Escape: exit code $EXIT_CODE"
[ ! -s "$WORK/stderr" ] || fail "Escape: something on stderr"
echo "ok"
