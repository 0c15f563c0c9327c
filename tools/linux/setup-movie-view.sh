#!/usr/bin/env bash
# Prepares the Linux movie view's tests and benchmark: installs the Debian packages they need
# (GTK 3, WebKitGTK 4.1, Xvfb, xdotool; Node.js and npm where missing), then configures
# build/linux-movie with the Linux parts on and builds the view's tests and benchmark, for which
# npm fetches the pinned emulator.
set -euo pipefail
cd "$(dirname "$0")/../.."

packages=(cmake g++ make pkg-config libgtest-dev libgtk-3-dev libwebkit2gtk-4.1-dev xvfb xauth
          xdotool)
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
bash tools/install-packages.sh "${packages[@]}"
. tools/node-ca.sh

cmake -S . -B build/linux-movie -DVELLOMAR_X11=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/linux-movie --target vellomar_x11_movie_tests vellomar_x11_movie_bench \
  -j 2 >/dev/null
