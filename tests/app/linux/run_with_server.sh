# Runs the given program on an X server of its own: bash run_with_server.sh PROGRAM [ARGUMENTS]
. "$(dirname "$0")/testlib.sh" "" ""
start_server
"$@"
