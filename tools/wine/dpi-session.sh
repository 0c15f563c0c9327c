#!/bin/sh
# dpi-session.sh DPI CMD [ARGS...] | DPI stop: runs CMD in a Wine session of its own whose screen
# has DPI dots per inch, starting it when none runs and leaving it running; "stop" ends it. Its
# prefix and session folder are those of the usual session with "-dpi<DPI>" appended. Its display
# is its own, with a compositing manager, so that a screenshot shows what a user would see.
#   VELLOMAR_WINE_LOGPIXELS  read by make-prefix.sh, which stores it where Windows reads the DPI;
#                            each process reads it when it starts, so it is set before any starts
set -eu
[ $# -gt 1 ] || { echo "usage: dpi-session.sh DPI CMD [ARGS...] | DPI stop" >&2; exit 2; }
dpi=$1
shift
. "$(dirname "$0")/common.sh"
WINEPREFIX=$WINEPREFIX-dpi$dpi
VELLOMAR_WINE_SESSION=$VELLOMAR_WINE_SESSION-dpi$dpi
VELLOMAR_WINE_LOGPIXELS=$dpi
VELLOMAR_COMPOSITOR=1
export WINEPREFIX VELLOMAR_WINE_SESSION VELLOMAR_WINE_LOGPIXELS VELLOMAR_COMPOSITOR
unset DISPLAY
exec_in_own_session "$@"
