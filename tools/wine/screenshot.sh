#!/bin/sh
# screenshot.sh OUT.png: saves the whole screen of the running Wine session (its Xvfb) as PNG.
set -eu
[ $# -eq 1 ] || { echo "usage: screenshot.sh OUT.png" >&2; exit 2; }
. "$(dirname "$0")/common.sh"
session_alive || { echo "screenshot.sh: no Wine session runs" >&2; exit 1; }
. "$SESSION_ENV"
import -display "$DISPLAY" -window root "$1"
