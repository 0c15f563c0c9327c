#!/bin/sh
# utf8-session.sh CMD [ARGS...] | stop: runs CMD in a Wine session of its own, whose ANSI code page
# is UTF-8 (65001), starting it when none runs and leaving it running; "stop" ends it. Its prefix
# and session folder are those of the usual session with "-utf8" appended, and it shares the
# usual session's display when one is set.
#   VELLOMAR_WINE_ACP  read by make-prefix.sh, which stores it where Windows reads the code page
#   LC_ALL             Wine 8 takes the ANSI code page from the locale instead: Hindi (India) is a
#                      locale without an ANSI code page of its own, so its code page is UTF-8
set -eu
[ $# -gt 0 ] || { echo "usage: utf8-session.sh CMD [ARGS...] | stop" >&2; exit 2; }
. "$(dirname "$0")/common.sh"
case $WINEPREFIX in *-utf8) ;; *) WINEPREFIX=$WINEPREFIX-utf8 ;; esac
case $VELLOMAR_WINE_SESSION in *-utf8) ;; *) VELLOMAR_WINE_SESSION=$VELLOMAR_WINE_SESSION-utf8 ;; esac
VELLOMAR_WINE_ACP=65001
LC_ALL=hi_IN.UTF-8
export WINEPREFIX VELLOMAR_WINE_SESSION VELLOMAR_WINE_ACP LC_ALL
exec_in_own_session "$@"
