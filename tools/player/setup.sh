#!/usr/bin/env bash
# Prepares a run of the movie in the Flash emulator (tests/player): installs Debian's Chromium, and
# Node.js, npm and CMake where they are missing, then the pinned packages from the lock file (npm ci).
# Fetches the emulator into build/player-emulator/ruffle from the Linux program's own lock file, by
# the same script as its build, so that the tests play the files the program ships.
# Builds the movie with the host preset unless VELLOMAR_MOVIE names one.
set -euo pipefail
cd "$(dirname "$0")/../.."

. tools/packages.sh
packages=(chromium)
command -v cmake >/dev/null || packages+=(cmake)
bash tools/install-packages.sh "${packages[@]}" $(node_packages)
. tools/node-ca.sh
(cd tests/player && npm ci --no-audit --no-fund --loglevel=error)
cmake -DNPM="$(command -v npm)" -DSOURCE="$PWD/src/runtime/x11/movie" \
      -DWORK="$PWD/build/player-emulator/npm" -DDEST="$PWD/build/player-emulator/ruffle" \
      -P src/runtime/x11/movie/fetch_emulator.cmake

if [ -z "${VELLOMAR_MOVIE:-}" ]; then
  cmake --preset host >/dev/null
  cmake --build --preset host --target vellomar_movie -j 2 >/dev/null
fi
