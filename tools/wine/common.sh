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
