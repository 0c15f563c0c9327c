#!/usr/bin/env bash
# demo.sh: builds the Linux program and runs its full-screen role playing our movie, on the
# current display or, without one, on an Xvfb of 1024 x 768; saves build/linux-demo/screenshot.png
# a few seconds in, then ends the saver with a key. Its settings live in build/linux-demo, so the
# user's own are left alone.
set -euo pipefail
cd "$(dirname "$0")/../.."

packages=(cmake g++ make libgtest-dev googletest pkg-config libgtk-3-dev libwebkit2gtk-4.1-dev
          libx11-dev libxfixes-dev xvfb xdotool imagemagick)
command -v npm >/dev/null || packages+=(nodejs npm)
bash tools/install-packages.sh "${packages[@]}"
. tools/node-ca.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j 2 --target vellomar >/dev/null

out=$PWD/build/linux-demo
rm -rf "$out"
mkdir -p "$out/config/vellomar"
printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Starloom\\Vellomar Screensaver]\npath=sz:%s\n' \
  "$PWD/build/linux" >"$out/config/vellomar/settings.ini"

pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT
if [ -z "${DISPLAY:-}" ]; then
  exec 3<> <(:)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
  pids+=($!)
  read -r number <&3
  export DISPLAY=":$number"
fi

XDG_CONFIG_HOME="$out/config" build/linux/vellomar --fullscreen &
saver=$!
pids+=("$saver")
sleep 6
import -window root "$out/screenshot.png"
xdotool key Escape
wait "$saver"
echo "$out/screenshot.png"
