#!/usr/bin/env bash
# Installs what the tests need, then builds and runs every test: the host build, the same under
# AddressSanitizer and UndefinedBehaviorSanitizer, the movie played by the Flash emulator in
# headless Chromium, each fuzz target for a short while, the Linux program under Xvfb, and the
# Windows builds: vellomar.scr and its setup program for x86_64, run with their end-to-end tests
# under Wine and Xvfb, and for i686, built only.
set -euo pipefail
cd "$(dirname "$0")/.."

. tools/packages.sh
bash tools/install-packages.sh "${build_packages[@]}"
# The cross compilers, Wine and what it loads, Xvfb, NSIS (see the script); only what is missing.
sh tools/wine/install-deps.sh >/dev/null

jobs=$(nproc)
for preset in host sanitize; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

# The host build's movie in the emulator (tests/player); VELLOMAR_MOVIE, an absolute path, names
# another movie file.
echo "== movie in the emulator"
bash tools/player/setup.sh
(cd tests/player && npm test)

# Each fuzz target briefly, on its committed seeds; tools/fuzz.sh 600 is the long run.
echo "== fuzz"
bash tools/fuzz.sh 20

# The Linux program (GTK 3, WebKitGTK 4.1, X11) and its end-to-end tests, each test on an Xvfb of
# its own with real input from xdotool; npm fetches the emulator at build time. Then its Debian
# package, which lintian must pass without an error, and which must install and work in a fresh
# Debian 12 root.
echo "== linux"
prepare_linux_preset
cmake --build --preset linux -j "$jobs"
ctest --preset linux
cmake --build --preset linux --target package
lintian --fail-on error build/linux/vellomar_*.deb
# The package installed into a fresh Debian 12 root and used through the real XScreenSaver.
bash tests/package/install_e2e.sh build/linux/vellomar_*.deb

for preset in win64 win32; do
  echo "== $preset (build)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

# One Wine session (Xvfb when there is no display) for all the Windows tests, stopped after them.
echo "== win64 (under Wine)"
status=0
tools/wine/with-session.sh ctest --preset win64 || status=$?
# Printed, never asserted: how fast the real program answers.
grep -h '^\[ median' build/win64/Testing/Temporary/LastTest.log || true
exit "$status"
