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
# Node trusts only the CA list it was built with; the system's store also holds the authorities
# the machine's owner added (a network's own, say).
if [ -z "${NODE_EXTRA_CA_CERTS:-}" ] && [ -f /etc/ssl/certs/ca-certificates.crt ]; then
  export NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt
fi
(cd tests/player && npm ci --no-audit --no-fund --loglevel=error)

if [ -z "${VELLOMAR_MOVIE:-}" ]; then
  cmake --preset host >/dev/null
  cmake --build --preset host --target vellomar_movie -j 2 >/dev/null
fi
