#!/bin/sh
# monitors-session.sh right|left CMD [ARGS...] | right|left stop: runs CMD in a Wine session of
# its own with two monitors, starting it when none runs and leaving it running; "stop" ends it.
# The primary monitor is 1024x768; the second, 800x600, stands right of it (right) or left of it,
# at negative x (left). Both are RandR monitors of one wide Xvfb screen of the session's own,
# which Wine sees only when it does not use XRandR, with a compositing manager so that a screenshot
# shows what a user would see. Prefix and session folder are the usual ones
# with "-monitors-right" or "-monitors-left" appended.
set -eu
[ $# -gt 1 ] || { echo "usage: monitors-session.sh right|left CMD [ARGS...] | stop" >&2; exit 2; }
layout=$1
shift
. "$(dirname "$0")/common.sh"
case $layout in
right) VELLOMAR_XVFB_MONITORS="1024x768+0+0 800x600+1024+0" ;;
left) VELLOMAR_XVFB_MONITORS="1024x768+800+0 800x600+0+0" ;;
*) echo "monitors-session.sh: no layout $layout" >&2; exit 2 ;;
esac
WINEPREFIX=$WINEPREFIX-monitors-$layout
VELLOMAR_WINE_SESSION=$VELLOMAR_WINE_SESSION-monitors-$layout
VELLOMAR_XVFB_SCREEN=1824x768x24
VELLOMAR_WINE_XRANDR=N
VELLOMAR_COMPOSITOR=1
export WINEPREFIX VELLOMAR_WINE_SESSION VELLOMAR_XVFB_SCREEN VELLOMAR_XVFB_MONITORS VELLOMAR_WINE_XRANDR
export VELLOMAR_COMPOSITOR
# Its own display: the monitors are fixed when Wine connects to it.
unset DISPLAY
exec_in_own_session "$@"
