#!/bin/sh
# setup-session.sh CMD [ARGS...] | stop: runs CMD in a Wine session of its own for the setup
# program's tests, which write to System32 and the machine's registry: its 64-bit prefix and its
# session folder are those of the usual session with "-setup" appended, so the usual prefix never
# sees an install. Each session starts on a new prefix, so no run sees what an earlier one left.
# It shares the usual session's display when one is set.
#   LC_ALL  the system's UI language is German, which the setup should preselect: a language other
#           than its fallback, English
set -eu
[ $# -gt 0 ] || { echo "usage: setup-session.sh CMD [ARGS...] | stop" >&2; exit 2; }
. "$(dirname "$0")/common.sh"
case $WINEPREFIX in *-setup) ;; *) WINEPREFIX=$WINEPREFIX-setup ;; esac
case $VELLOMAR_WINE_SESSION in *-setup) ;; *) VELLOMAR_WINE_SESSION=$VELLOMAR_WINE_SESSION-setup ;; esac
WINEARCH=win64
LC_ALL=de_DE.UTF-8
export WINEPREFIX VELLOMAR_WINE_SESSION WINEARCH LC_ALL
if [ "$1" != stop ] && ! "$WINE_TOOLS/session.sh" status; then
    rm -rf "$WINEPREFIX"
fi
exec_in_own_session "$@"
