#!/usr/bin/env bash
# demo.sh: builds the Linux program and runs its full-screen role playing our movie, on the
# current display or, without one, on an Xvfb of 1024 x 768; saves build/linux-demo/screenshot.png
# a few seconds in, then ends the saver with a key. Its settings live in build/linux-demo, so the
# user's own are left alone.
set -euo pipefail
cd "$(dirname "$0")/../.."

. tools/linux/program.sh
out=$PWD/build/linux-demo
prepare_program "$out"
[ -n "${DISPLAY:-}" ] || own_display

XDG_CONFIG_HOME="$out/config" build/linux/vellomar --fullscreen &
saver=$!
pids+=("$saver")
sleep 6
import -window root "$out/screenshot.png"
xdotool key Escape
wait "$saver"
echo "$out/screenshot.png"
