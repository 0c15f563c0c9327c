#!/usr/bin/env bash
# package-e2e.sh: builds the Linux program's Debian package (build/linux/vellomar_*.deb) and runs
# tests/package/install_e2e.sh on it: installed into a fresh Debian 12 root, used through the real
# XScreenSaver by a new user, then purged. Needs root; the screenshot and the logs go to
# build/package-e2e.
set -euo pipefail
cd "$(dirname "$0")/../.."
packages=(cmake g++ make libgtest-dev googletest pkg-config libgtk-3-dev libwebkit2gtk-4.1-dev
          libx11-dev libxfixes-dev dpkg-dev file debootstrap)
command -v npm >/dev/null || packages+=(nodejs npm)
bash tools/install-packages.sh "${packages[@]}"
. tools/node-ca.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j 2
cmake --build --preset linux --target package
exec bash tests/package/install_e2e.sh build/linux/vellomar_*.deb
