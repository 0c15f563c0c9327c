#!/usr/bin/env bash
# package-e2e.sh: builds the Linux program's Debian package (build/linux/vellomar_*.deb) and runs
# tests/package/install_e2e.sh on it: installed into a fresh Debian 12 root, used through the real
# XScreenSaver by a new user, then purged. Needs root; the screenshot and the logs go to
# build/package-e2e.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/packages.sh
prepare_linux_preset
cmake --build --preset linux -j 2
cmake --build --preset linux --target package
exec bash tests/package/install_e2e.sh build/linux/vellomar_*.deb
