#!/bin/sh
# display-session.sh CMD [ARGS...] | stop: runs CMD in a Wine session of its own whose screen,
# 1024x768, also offers an 800x600 mode, so that a test can change the display mode with
# ChangeDisplaySettingsEx as a program of the user's would; starts it when none runs and leaves it
# running; "stop" ends it. Its display is its own, since a mode changed there changes it for
# everyone on it. Prefix and session folder are the usual ones with "-display" appended.
set -eu
[ $# -gt 0 ] || { echo "usage: display-session.sh CMD [ARGS...] | stop" >&2; exit 2; }
. "$(dirname "$0")/common.sh"
WINEPREFIX=$WINEPREFIX-display
VELLOMAR_WINE_SESSION=$VELLOMAR_WINE_SESSION-display
VELLOMAR_XVFB_SCREEN=1024x768x24
VELLOMAR_XVFB_MODES=800x600
export WINEPREFIX VELLOMAR_WINE_SESSION VELLOMAR_XVFB_SCREEN VELLOMAR_XVFB_MODES
unset DISPLAY
exec_in_own_session "$@"
