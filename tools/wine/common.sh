# Sourced by the other scripts here: where a session keeps its state, and the quiet Wine settings.
#   VELLOMAR_WINE_SESSION  folder of the session state (env file, pids, logs, keep-alive program)
#   WINEPREFIX             the private prefix, kept between sessions; never ~/.wine
WINE_TOOLS=$(cd "$(dirname "$0")" && pwd)
VELLOMAR_WINE_HOME=${TMPDIR:-/tmp}/vellomar-wine-$(id -u)
: "${VELLOMAR_WINE_SESSION:=$VELLOMAR_WINE_HOME/session}"
: "${WINEPREFIX:=$VELLOMAR_WINE_HOME/prefix}"
: "${WINEDEBUG:=-all}"
export VELLOMAR_WINE_SESSION WINEPREFIX WINEDEBUG
SESSION_ENV=$VELLOMAR_WINE_SESSION/env

# True when the session described by $SESSION_ENV is still up: its keep-alive program (which
# holds the wineserver) and the Xvfb it started, if any, are running.
session_alive() {
    [ -f "$SESSION_ENV" ] || return 1
    (
        . "$SESSION_ENV"
        kill -0 "$VELLOMAR_KEEPALIVE_PID" 2>/dev/null || exit 1
        [ -z "${VELLOMAR_XVFB_PID:-}" ] || kill -0 "$VELLOMAR_XVFB_PID" 2>/dev/null
    )
}

# For a session of its own (its variables set and exported by the caller): "stop" ends it;
# anything else runs as a command in it, the session started first when none runs and left
# running. The session's processes outlive the caller: they must not hold its output open (a
# test runner waits for the end of that output), so they write to a log of their own.
exec_in_own_session() {
    if [ "$1" = stop ]; then
        exec "$WINE_TOOLS/session.sh" stop
    fi
    if ! "$WINE_TOOLS/session.sh" status; then
        mkdir -p "$VELLOMAR_WINE_SESSION"
        "$WINE_TOOLS/session.sh" start >"$VELLOMAR_WINE_SESSION/start.log" 2>&1 </dev/null ||
            { cat "$VELLOMAR_WINE_SESSION/start.log" >&2; exit 1; }
    fi
    . "$VELLOMAR_WINE_SESSION/env"
    exec "$@"
}
