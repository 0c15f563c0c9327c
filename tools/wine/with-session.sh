#!/bin/sh
# with-session.sh CMD [ARGS...]: runs CMD inside the Wine session (see session.sh), starting it when
# none runs and stopping it afterwards unless another with-session.sh still uses it. Exits with
# CMD's status. Typical: tools/wine/with-session.sh ctest --preset win64
set -eu
[ $# -gt 0 ] || { echo "usage: with-session.sh CMD [ARGS...]" >&2; exit 2; }
. "$(dirname "$0")/common.sh"
mkdir -p "$VELLOMAR_WINE_SESSION"
# Each user holds a shared lock for its whole run; the last one out gets the exclusive lock.
exec 8>"$VELLOMAR_WINE_SESSION/users.lock"
flock -s 8
# A session started here is marked, so that whichever with-session.sh leaves last stops it; one
# started by hand (session.sh start) or by run-wine.sh is left running.
if ! session_alive; then
    "$WINE_TOOLS/session.sh" start
    touch "$VELLOMAR_WINE_SESSION/auto-stop"
fi
. "$SESSION_ENV"
rc=0
"$@" 8>&- || rc=$?
if [ -f "$VELLOMAR_WINE_SESSION/auto-stop" ] && flock -xn 8; then
    "$WINE_TOOLS/session.sh" stop
fi
exit "$rc"
