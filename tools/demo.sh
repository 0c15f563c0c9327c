#!/usr/bin/env bash
# The main job, end to end: builds vellomar.scr for 64-bit Windows and the stand-in movie control,
# runs the full-screen saver (/s) under Wine in a private prefix (on Xvfb when there is no
# display), saves a screenshot of the screen while it runs to build/demo/screenshot.png, ends
# the saver with a key press, checks that it ended, and stops everything it started.
#
#   build/demo/prefix     the demo's own Wine prefix (not the tests'), with the stand-in
#                         registered in it and the saver's settings written to its registry
#   build/demo/saver      the install folder that the settings point at, holding the movie
#   build/demo/standin.log  every call the saver made on the stand-in control
#
# Without a window manager Wine stacks its windows in the order they were shown and activated,
# so the backdrop, shown last, would cover the top-most movie window; and the input guard is a
# layered window of the least opacity, which needs a compositing manager to let the movie show
# through. The demo runs xcompmgr, and raises the top-most windows as a window manager would.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
demo=$root/build/demo

# ---- what it needs
sh tools/wine/install-deps.sh >/dev/null
bash tools/install-packages.sh xcompmgr xdotool >/dev/null

# ---- build
echo "== building vellomar.scr (x86_64), its movie and the stand-in control"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target vellomar vellomar_standin -j "$(nproc)" >/dev/null
scr=$root/build/win64/vellomar.scr
standin=$root/build/win64/tests/e2e/standin/vellomar_standin.dll

# ---- a private Wine session
export WINEPREFIX=$demo/prefix
export VELLOMAR_WINE_SESSION=$demo/session
export WINEDEBUG=-all
mkdir -p "$demo" "$demo/saver"
# The program plays <its own name>.lak from the install folder.
cp "$root/build/win64/vellomar.lak" "$demo/saver/vellomar.lak"
rm -f "$demo/screenshot.png" "$demo/standin.log"
saver_pid=
xcompmgr_pid=
cleanup() {
  [ -z "$saver_pid" ] || kill "$saver_pid" 2>/dev/null || true
  [ -z "$xcompmgr_pid" ] || kill "$xcompmgr_pid" 2>/dev/null || true
  tools/wine/session.sh stop
}
trap cleanup EXIT
echo "== starting a Wine session in $WINEPREFIX"
tools/wine/session.sh start
eval "$(tools/wine/session.sh env)"
echo "   display $DISPLAY"
tools/wine/register-standin.sh - "$standin"

settings='HKLM\SOFTWARE\Starloom\Vellomar Screensaver'
saver_folder=$(printf 'Z:%s' "$demo/saver" | sed 's|/|\\|g')
wine reg add "$settings" /v path /d "$saver_folder" /f >/dev/null
wine reg add "$settings" /v language /d 1033 /f >/dev/null
wine reg add "$settings" /v music /d 1 /f >/dev/null
wine reg add "$settings" /v mouse /d 5 /f >/dev/null

# Lets the guard's near-zero opacity take effect; fails harmlessly where one already runs.
xcompmgr -d "$DISPLAY" >"$demo/xcompmgr.log" 2>&1 &
xcompmgr_pid=$!

# ---- the full-screen saver
echo "== running vellomar.scr /s"
VELLOMAR_STANDIN_LOG=$demo/standin.log wine "$scr" /s &
saver_pid=$!

window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true; }
guard=
for _ in $(seq 300); do
  guard=$(window_named 'Screen Saver Main Form')
  [ -z "$guard" ] || break
  kill -0 "$saver_pid" 2>/dev/null || { echo "demo: the saver ended before its guard opened" >&2; exit 1; }
  sleep 0.1
done
[ -n "$guard" ] || { echo "demo: no input guard after 30 s" >&2; exit 1; }
echo "   input guard open"
movie=$(window_named Form1)
[ -n "$movie" ] || { echo "demo: no movie window" >&2; exit 1; }
xdotool windowraise "$movie"
xdotool windowraise "$guard"
sleep 1
import -display "$DISPLAY" -window root "$demo/screenshot.png"
colours=$(identify -format '%k' "$demo/screenshot.png")
echo "   screenshot: $demo/screenshot.png ($colours colours)"
[ "$colours" -gt 1 ] || { echo "demo: the screenshot is one flat colour" >&2; exit 1; }

# ---- a key ends the saver
xdotool key --clearmodifiers a
status=
for _ in $(seq 100); do
  if ! kill -0 "$saver_pid" 2>/dev/null; then
    status=0
    wait "$saver_pid" || status=$?
    break
  fi
  sleep 0.1
done
[ -n "$status" ] || { echo "demo: the saver still runs 10 s after the key" >&2; exit 1; }
saver_pid=
[ "$status" -eq 0 ] || { echo "demo: the saver ended with exit code $status" >&2; exit 1; }
echo "   a key ended the saver (exit code 0)"
echo "== the stand-in control was driven so:"
sed 's/^/   /' "$demo/standin.log"
echo "demo passed: build/demo/screenshot.png"
