#!/bin/sh
# make-prefix.sh [PREFIX]: creates the private Wine prefix (argument, else $WINEPREFIX, else the
# session default) once. Later runs only check the marker file and return.
#   wineboot --init    builds the prefix; Mono and Gecko are disabled so no installer dialog waits
#   X11 Managed = N    without a window manager (Xvfb) every destroyed managed full-screen window
#                      makes Wine wait about 2 s for the window manager's answer
#   ACP                $VELLOMAR_WINE_ACP, when set: the ANSI code page, where Windows keeps it
#   X11 UseXRandR      $VELLOMAR_WINE_XRANDR, when set (N): Wine then reads the monitors through
#                      Xinerama, which sees the RandR monitors of one split screen
#   LogPixels          $VELLOMAR_WINE_LOGPIXELS, when set: the screen's DPI
set -eu
[ $# -eq 0 ] || WINEPREFIX=$1
. "$(dirname "$0")/common.sh"
case $WINEPREFIX in /*) ;; *) WINEPREFIX=$(pwd)/$WINEPREFIX ;; esac
export WINEPREFIX
[ "$WINEPREFIX" != "$HOME/.wine" ] || { echo "make-prefix.sh: refusing to use ~/.wine" >&2; exit 2; }
MARK=$WINEPREFIX/.vellomar-prefix-ready
[ -f "$MARK" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
# Two sessions starting together must not both build the same prefix.
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$MARK" ] && exit 0
mkdir -p "$WINEPREFIX"
WINEDLLOVERRIDES="mscoree,mshtml=d" wineboot --init >"$WINEPREFIX/wineboot.log" 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
if [ -n "${VELLOMAR_WINE_ACP:-}" ]; then
    wine reg add 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP \
        /d "$VELLOMAR_WINE_ACP" /f >/dev/null
fi
if [ -n "${VELLOMAR_WINE_XRANDR:-}" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d "$VELLOMAR_WINE_XRANDR" /f >/dev/null
fi
if [ -n "${VELLOMAR_WINE_LOGPIXELS:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$VELLOMAR_WINE_LOGPIXELS" /f >/dev/null
fi
# Wine writes the registry files when its server quits; wait so the prefix is complete.
wineserver -w
touch "$MARK"
