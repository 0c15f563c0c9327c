#!/bin/sh
# run-wine.sh PROGRAM [ARGS...]: runs a Windows program (.exe, .scr) in the project's Wine session
# and exits with its exit code. CTest's cross-compiling emulator for the x86_64 build.
# Starts the session when none runs and leaves it running for the next program; stop it with
# tools/wine/session.sh stop, or run ctest under tools/wine/with-session.sh.
# PROGRAM may be a Linux path; ARGS are passed unchanged (Windows programs see Linux paths as-is).
set -eu
[ $# -gt 0 ] || { echo "usage: run-wine.sh PROGRAM [ARGS...]" >&2; exit 2; }
. "$(dirname "$0")/common.sh"
if ! session_alive; then
    "$WINE_TOOLS/session.sh" start
    echo "run-wine.sh: started a Wine session; stop it with $WINE_TOOLS/session.sh stop" >&2
fi
. "$SESSION_ENV"
exec wine "$@"
