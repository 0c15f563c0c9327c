#!/usr/bin/env bash
# The Linux movie view's benchmark: our movie in the emulator in WebKitGTK, in the full-screen
# role at 1024x768 and in the preview's size, 15 s each; prints the time from the view's
# construction to the first frame, the memory (PSS) of each process and the CPU of all of them.
# Runs on Xvfb when there is no display. Prints, never asserts.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/linux/setup-movie-view.sh
bench=build/linux/src/runtime/x11/vellomar_x11_movie_bench

run() {
  if [ -n "${DISPLAY:-}" ]; then
    "$bench" "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$bench" "$@"
  fi
}
run s 1024 768 15 2>/dev/null
run p 152 112 15 2>/dev/null
