# Runs the given program on an X server of its own, or with --wayland on a
# headless weston of its own: bash run_with_server.sh [--wayland] PROGRAM [ARGUMENTS]
. "$(dirname "$0")/testlib.sh" "" ""
if [ "${1:-}" = --wayland ]; then
    shift
    start_weston
else
    start_server
fi
"$@"
