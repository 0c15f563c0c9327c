#!/bin/sh
# Installs what the Windows cross-build and its Wine test runs need, from Debian 12 packages;
# quick when everything is there (only the missing packages are fetched).
#   MinGW-w64 C/C++ cross compilers, posix thread model (std::thread, std::mutex), both targets
#   wine + wine64 (Wine 8): runs the x86_64 programs and tests; 32-bit programs are built, never run
#   the X extension libraries that Wine loads at run time (Recommends of Wine, left out by
#   --no-install-recommends): without XInput2 Wine reports pointer motion in another way, and
#   without Xinerama and RandR it sees one monitor
#   xvfb: a display for the windows the programs create
#   x11-xserver-utils: xrandr, which splits one Xvfb screen into two monitors
#   xcompmgr: a compositing manager, for the sessions whose tests look at the screen
#   googletest: sources in /usr/src/googletest, built with the cross compiler
#   imagemagick: `import -window root shot.png` takes a screenshot of the Xvfb screen
#   cmake, make: the build itself
#   nsis: makensis, which makes the setup programs (amd64-unicode and x86-unicode targets)
set -eu
exec bash "$(dirname "$0")/../install-packages.sh" \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 \
    wine wine64 \
    libxi6 libxrandr2 libxinerama1 libxfixes3 libxcursor1 libxcomposite1 libxrender1 libxxf86vm1 \
    xvfb x11-xserver-utils xcompmgr \
    googletest \
    imagemagick \
    cmake make \
    nsis
