#!/usr/bin/env bash
# Prepares the Linux movie view's tests and benchmark: installs the Debian packages they need
# (tools/packages.sh), then builds the view's tests and benchmark with the linux preset, for which
# npm fetches the pinned emulator.
set -euo pipefail
cd "$(dirname "$0")/../.."

. tools/packages.sh
prepare_linux_preset
cmake --build --preset linux --target vellomar_x11_movie_tests vellomar_x11_movie_bench \
  -j 2 >/dev/null
