#!/usr/bin/env bash
# Saves one screenshot of each role of the movie, played by the Flash emulator in headless
# Chromium, for the README: docs/screens/saver.png, preview.png and settings.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/player/setup.sh
node tests/player/screens.js docs/screens
