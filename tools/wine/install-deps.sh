#!/bin/sh
# Installs what the Windows cross-build and its Wine test runs need, from Debian 12 packages.
# Safe to run again: apt-get skips what is already installed.
#   MinGW-w64 C/C++ cross compilers, posix thread model (std::thread, std::mutex), both targets
#   wine + wine64 (Wine 8): runs the x86_64 programs and tests; 32-bit programs are built, never run
#   xvfb: a display for the windows the programs create
#   googletest: sources in /usr/src/googletest, built with the cross compiler
#   imagemagick: `import -window root shot.png` takes a screenshot of the Xvfb screen
#   cmake, make: the build itself
set -eu
export DEBIAN_FRONTEND=noninteractive
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 \
    wine wine64 \
    xvfb \
    googletest \
    imagemagick \
    cmake make
