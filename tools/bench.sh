#!/usr/bin/env bash
# The benchmark: builds vellomar.scr (x86_64) with the stand-in movie control, floor.scr (the
# smallest saver MinGW-w64's screen-saver framework makes, bench/floor/) and the driver
# vellomar_bench.exe, then runs both savers many times under Wine (on Xvfb when there is no
# display) in a private prefix, and prints medians with min and max and our/floor ratios:
# start-up, the ways a run ends, the preview, CPU time and peak working set over a five-second
# idle run, file sizes and imported DLLs. It also builds both setup programs and prints their
# sizes and those of the stripped programs they ship; then the CPU that the movie's full-screen
# role costs in the Flash emulator in headless Chromium (tests/player/bench), what the Linux movie
# view costs (tools/linux/bench-movie-view.sh) and what the whole Linux program costs full screen
# beside the same page in Chromium's kiosk mode (tools/linux/bench-program.sh). A benchmark, not a
# test: it asserts nothing about speed.
#
#   VELLOMAR_BENCH_RUNS   runs of each measurement per saver (15)
#   build/bench/results.txt, results.csv, results.json   the figures, to compare runs
#   build/bench/prefix    the benchmark's own Wine prefix, with the stand-in registered in it
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bench=$root/build/bench
runs=${VELLOMAR_BENCH_RUNS:-15}

# ---- what it needs
sh tools/wine/install-deps.sh >/dev/null

# ---- build
echo "== building vellomar.scr, the stand-in control, floor.scr and the driver (x86_64)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target vellomar vellomar_standin floor vellomar_bench vellomar_setup \
  -j "$(nproc)" >/dev/null
echo "== building the 32-bit setup (i686)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target vellomar_setup -j "$(nproc)" >/dev/null
win=$root/build/win64
standin=$win/tests/e2e/standin/vellomar_standin.dll

imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' '; }
stripped_kib() {
  local copy
  copy=$(mktemp "$bench/stripped.XXXXXX")
  x86_64-w64-mingw32-strip -o "$copy" "$1"
  echo "$(( $(stat -c %s "$copy") / 1024 ))"
  rm -f "$copy"
}

# ---- what is shipped: the stripped programs inside the setups, and the setups
echo "== shipped sizes"
for build in win64 win32; do
  for file in setup/vellomar.scr vellomar-setup-*.exe; do
    for path in "$root/build/$build"/$file; do
      printf '%-40s %6d KiB\n' "${path#"$root"/}" "$(( $(stat -c %s "$path") / 1024 ))"
    done
  done
done

# ---- a private Wine session
export WINEPREFIX=$bench/prefix
export VELLOMAR_WINE_SESSION=$bench/session
export WINEDEBUG=-all
mkdir -p "$bench"
trap 'tools/wine/session.sh stop' EXIT
echo "== starting a Wine session in $WINEPREFIX"
tools/wine/session.sh start
eval "$(tools/wine/session.sh env)"
tools/wine/register-standin.sh - "$standin"

# ---- measure
note="commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
note+=", stripped .scr vellomar $(stripped_kib "$win/vellomar.scr") KiB, floor $(stripped_kib "$win/floor.scr") KiB"
echo "== measuring, $runs runs each (about $(( runs * 14 / 60 + 1 )) minutes)"
status=0
wine "$win/vellomar_bench.exe" --runs "$runs" --out "$(winepath -w "$bench")" --note "$note" \
  --imports-vellomar "$(imports "$win/vellomar.scr")" --imports-floor "$(imports "$win/floor.scr")" ||
  status=$?
echo "== written: build/bench/results.txt, results.csv, results.json"

# ---- the movie in the Flash emulator: the CPU its full-screen role costs at 1024x768
echo "== movie in the emulator"
bash tools/player/setup.sh
node tests/player/bench/cpu.js || status=$?

# ---- the Linux movie view: first frame, memory and CPU of the emulator in WebKitGTK
echo "== Linux movie view"
bash tools/linux/bench-movie-view.sh || status=$?

# ---- the whole Linux program: start to first frame, memory and CPU of `vellomar --fullscreen`,
# beside Chromium in kiosk mode playing the same page
echo "== Linux program"
bash tools/linux/bench-program.sh || status=$?
exit "$status"
