# Runs the given program on an X server of its own, or with --wayland on a
# headless weston of its own, or with --sway on a headless sway:
#   bash run_with_server.sh [--wayland | --sway] PROGRAM [ARGUMENTS]
. "$(dirname "$0")/testlib.sh" "" ""
case "${1:-}" in
--wayland)
    shift
    start_weston
    ;;
--sway)
    shift
    start_sway
    ;;
*)
    start_server
    ;;
esac
"$@"
