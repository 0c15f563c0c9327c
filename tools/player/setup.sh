#!/usr/bin/env bash
# Prepares a run of the movie in the Flash emulator (tests/player): installs Debian's Chromium, and
# Node.js and npm where they are missing, then the pinned packages from the lock file (npm ci).
# Builds the movie with the host preset unless VELLOMAR_MOVIE names one.
set -euo pipefail
cd "$(dirname "$0")/../.."

packages=(chromium)
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
bash tools/install-packages.sh "${packages[@]}"
. tools/node-ca.sh
(cd tests/player && npm ci --no-audit --no-fund --loglevel=error)

if [ -z "${VELLOMAR_MOVIE:-}" ]; then
  cmake --preset host >/dev/null
  cmake --build --preset host --target vellomar_movie -j 2 >/dev/null
fi
