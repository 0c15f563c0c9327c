#!/bin/sh
# session.sh start [PREFIX] | stop | status | env
#   start   makes the prefix if needed, starts Xvfb on a free display when DISPLAY is unset, one
#           persistent wineserver and the keep-alive program, and writes the session's variables to
#           $VELLOMAR_WINE_SESSION/env. Does nothing when the session already runs.
#   stop    ends every Wine process of the session, its wineserver and the Xvfb it started.
#   status  exits 0 when the session runs; env prints its variables, for `eval "$(session.sh env)"`.
# Xvfb's screen is $VELLOMAR_XVFB_SCREEN, 1024x768x24 unless set. $VELLOMAR_XVFB_MONITORS, when
# set, splits that screen into RandR monitors, the first one primary: "WxH+X+Y WxH+X+Y ...".
# $VELLOMAR_XVFB_MODES, when set, adds display modes "WxH ..." to that screen, none larger than it.
# $VELLOMAR_COMPOSITOR, when set, runs a compositing manager on that Xvfb: the input guard is a
# layered window of the least opacity, which only a compositor lets the movie show through.
set -eu
cmd=${1:-}
[ $# -lt 2 ] || WINEPREFIX=$2
. "$(dirname "$0")/common.sh"
S=$VELLOMAR_WINE_SESSION

# kill_own PID WORD: ends PID only while its command line still names WORD, so that a stale env
# file never ends an unrelated process that got the same id.
kill_own() {
    [ -n "$1" ] || return 0
    if tr '\0' ' ' <"/proc/$1/cmdline" 2>/dev/null | grep -q "$2"; then
        kill "$1" 2>/dev/null || true
    fi
}

stop_session() {
    [ -f "$SESSION_ENV" ] || return 0
    (
        . "$SESSION_ENV"
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        kill_own "$VELLOMAR_KEEPALIVE_PID" keepalive.exe
        kill_own "${VELLOMAR_COMPOSITOR_PID:-}" xcompmgr
        kill_own "${VELLOMAR_XVFB_PID:-}" Xvfb
    )
    rm -f "$SESSION_ENV" "$S/keepalive.exe.ready" "$S/auto-stop"
}

wait_for() { # wait_for SECONDS TEST...
    t=$(($1 * 10)); shift
    while ! "$@"; do
        t=$((t - 1))
        [ "$t" -gt 0 ] || return 1
        sleep 0.1
    done
}

# The physical size given to each monitor matters to no one; 96 dots per inch keeps it sensible.
set_monitors() {
    n=0
    for m in ${VELLOMAR_XVFB_MONITORS:-}; do
        n=$((n + 1))
        w=${m%%x*}; rest=${m#*x}; h=${rest%%+*}; at=+${rest#*+}
        output=none
        [ "$n" -gt 1 ] || output=screen
        DISPLAY=:$(head -n1 "$S/display") xrandr --setmonitor "MON$n" \
            "$w/$((w * 254 / 960))x$h/$((h * 254 / 960))$at" "$output"
    done
}

# Xvfb takes any mode up to the size it started with; the timings matter to no one.
add_modes() {
    for m in ${VELLOMAR_XVFB_MODES:-}; do
        DISPLAY=:$(head -n1 "$S/display") xrandr --newmode "$m" 0 "${m%x*}" 0 0 0 "${m#*x}" 0 0 0
        DISPLAY=:$(head -n1 "$S/display") xrandr --addmode screen "$m"
    done
}

start_session() {
    mkdir -p "$S"
    exec 9>"$S/start.lock"
    flock 9
    session_alive && return 0
    stop_session
    "$WINE_TOOLS/make-prefix.sh" "$WINEPREFIX"
    xvfb_pid=
    compositor_pid=
    if [ -z "${DISPLAY:-}" ]; then
        : >"$S/display"
        # -noreset: the monitors set below would go with the reset after xrandr disconnects.
        Xvfb -displayfd 3 -screen 0 "${VELLOMAR_XVFB_SCREEN:-1024x768x24}" -nolisten tcp -noreset \
            3>"$S/display" >"$S/xvfb.log" 2>&1 </dev/null 8>&- 9>&- &
        xvfb_pid=$!
        wait_for 10 test -s "$S/display" || { echo "session.sh: Xvfb did not start, see $S/xvfb.log" >&2; exit 1; }
        DISPLAY=:$(head -n1 "$S/display")
        set_monitors
        add_modes
        if [ -n "${VELLOMAR_COMPOSITOR:-}" ]; then
            xcompmgr -d "$DISPLAY" >"$S/xcompmgr.log" 2>&1 </dev/null 8>&- 9>&- &
            compositor_pid=$!
        fi
    fi
    export DISPLAY
    # A server left by a program run outside the session would refuse -p: let it finish first.
    wineserver -w
    # Children must not inherit the lock descriptors, or the locks would outlive this script.
    wineserver -p 8>&- 9>&-
    if [ ! -f "$S/keepalive.exe" ] || [ "$WINE_TOOLS/keepalive.c" -nt "$S/keepalive.exe" ]; then
        x86_64-w64-mingw32-gcc-posix -O2 -mwindows -o "$S/keepalive.exe" "$WINE_TOOLS/keepalive.c"
    fi
    rm -f "$S/keepalive.exe.ready"
    wine "$S/keepalive.exe" >"$S/keepalive.log" 2>&1 </dev/null 8>&- 9>&- &
    keep_pid=$!
    cat >"$SESSION_ENV" <<END
export DISPLAY='$DISPLAY'
export WINEPREFIX='$WINEPREFIX'
export WINEDEBUG='$WINEDEBUG'
export VELLOMAR_WINE_SESSION='$S'
VELLOMAR_XVFB_PID='$xvfb_pid'
VELLOMAR_COMPOSITOR_PID='$compositor_pid'
VELLOMAR_KEEPALIVE_PID='$keep_pid'
END
    if ! wait_for 60 test -f "$S/keepalive.exe.ready"; then
        echo "session.sh: the keep-alive program did not start, see $S/keepalive.log" >&2
        stop_session
        exit 1
    fi
}

case $cmd in
start) start_session ;;
stop) mkdir -p "$S"; exec 9>"$S/start.lock"; flock 9; stop_session ;;
status) session_alive ;;
env) session_alive && cat "$SESSION_ENV" ;;
*) echo "usage: session.sh start [PREFIX] | stop | status | env" >&2; exit 2 ;;
esac
