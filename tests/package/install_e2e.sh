#!/usr/bin/env bash
# install_e2e.sh [DEB]: installs the Debian package into a fresh Debian 12 root as a new user
# would, and checks it end to end: apt installs it with its dependencies alone, a user who is not
# root adds it to XScreenSaver with `vellomar --add-to-xscreensaver` and selects it, the real
# daemon on an Xvfb shows our movie on activation, nothing of ours runs once the daemon ends it,
# and a purge leaves no file of ours. One PASS/FAIL line per check with its time; non-zero on any
# failure, with the daemon's log (the program's standard error is in it).
#   sudo bash tests/package/install_e2e.sh build/linux/vellomar_1.0.0_amd64.deb
# DEB defaults to build/linux/vellomar_*.deb. Needs root (debootstrap, chroot, mounts). The base
# system is made once and kept as fresh-debian-base.tar in $TMPDIR (else /tmp), as fresh-run
# keeps it; the screenshot and the logs go to build/package-e2e (or VELLOMAR_PACKAGE_E2E_OUT).
set -euo pipefail
project=$(cd "$(dirname "$0")/../.." && pwd)
deb=${1:-$(ls "$project"/build/linux/vellomar_*.deb 2>/dev/null | head -1 || true)}
[ -f "$deb" ] || { echo "usage: $0 PACKAGE.deb (none found in build/linux)" >&2; exit 2; }
deb=$(realpath "$deb")
[ "$(id -u)" = 0 ] || { echo "$0: needs root (debootstrap, chroot, mounts)" >&2; exit 2; }
out=${VELLOMAR_PACKAGE_E2E_OUT:-$project/build/package-e2e}
mkdir -p "$out"
rm -f "$out"/screenshot.png "$out"/*.log "$out"/*.txt
tmp=$(dirname "$(mktemp -u)")
cache=$tmp/fresh-debian-base.tar
root=$(realpath "$(mktemp -d "$tmp/vellomar-package-root.XXXX")")
user=newcomer
home=/home/$user
log=$home/xscreensaver.log
failures=0
state=$(mktemp "$tmp/vellomar-package-state.XXXX")
# A network namespace of the root's own, bound to this file, for its X server and the user's
# programs: X's abstract sockets belong to a network namespace, not to a root, so without it a
# client in the root may reach another X server of the machine that has the same display number.
netns=$(mktemp "$tmp/vellomar-package-netns.XXXX")
unshare --net="$netns" true

# Every process whose root is ours (the daemon, Xvfb, whatever they started), by id.
in_root_pids() {
  local p
  for p in /proc/[0-9]*; do
    # A test, not a readlink per process: the scan runs while the saver starts.
    [ "$p/root" -ef "$root" ] 2>/dev/null && echo "${p#/proc/}"
  done
  return 0
}
cleanup() {
  local pids deadline m
  pids=$(in_root_pids)
  if [ -n "$pids" ]; then
    kill $pids 2>/dev/null || true
    deadline=$((SECONDS + 5))
    while [ -n "$(in_root_pids)" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    pids=$(in_root_pids)
    [ -z "$pids" ] || kill -KILL $pids 2>/dev/null || true
  fi
  # Deepest first; lazily when busy.
  for m in $(awk -v r="$root" '$5 == r || index($5, r "/") == 1 {print $5}' /proc/self/mountinfo |
             sort -r); do
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
  if awk -v r="$root" '$5 == r || index($5, r "/") == 1 {f = 1} END {exit !f}' \
         /proc/self/mountinfo; then
    echo "warning: mounts left under $root; not removing it" >&2
  else
    rm -rf --one-file-system "$root"
  fi
  umount "$netns" 2>/dev/null || true
  rm -f "$state" "$netns"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A clean environment in the root, as root or as the user.
root_env=(PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive)
in_root() { chroot "$root" /usr/bin/env -i "${root_env[@]}" "$@"; }
as_user() {
  nsenter --net="$netns" chroot "$root" /usr/sbin/runuser -u "$user" -- \
    /usr/bin/env -i HOME="$home" USER="$user" LOGNAME="$user" SHELL=/bin/bash \
    PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 ${display:+DISPLAY=$display} "$@"
}

# check NAME FUNCTION: runs it in a subshell of its own, where set -e holds (it would not in an
# `if` or `||`), and prints PASS or FAIL with the time it took; its output goes to $out/NAME.log
# and, on failure, to the screen. What it keeps (keep NAME VALUE) its successors see.
check() {
  local name=$1 start status took
  shift
  start=$EPOCHREALTIME
  set +e
  (set -e; "$@") >"$out/$name.log" 2>&1
  status=$?
  set -e
  . "$state"
  took=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {printf "%.1f", b - a}')
  if [ $status -eq 0 ]; then
    printf 'PASS  %-12s %6s s\n' "$name" "$took"
  else
    printf 'FAIL  %-12s %6s s\n' "$name" "$took"
    sed 's/^/      /' "$out/$name.log" | tail -n 60
    failures=$((failures + 1))
  fi
  return $status
}
keep() { printf '%s=%q\n' "$1" "$2" >>"$state"; }

# The daemon's log (its -verbose output, with the saver's standard error) and Xvfb's, on failure.
show_logs() {
  [ -f "$root$log" ] && { echo "--- xscreensaver --log (last 150 lines)"; tail -n 150 "$root$log"; }
  [ -f "$root$log" ] && { echo "--- vellomar: lines"; grep -a 'vellomar:' "$root$log" || true; }
  [ -f "$root/tmp/xvfb.log" ] && { echo "--- Xvfb"; tail -n 30 "$root/tmp/xvfb.log"; }
  return 0
}
finish() {
  [ -f "$root$log" ] && cp "$root$log" "$out/xscreensaver-daemon.log"
  awk -v a="$began" -v b="$EPOCHREALTIME" 'BEGIN {printf "whole run %.1f s\n", b - a}'
  if [ $failures -gt 0 ]; then
    show_logs
    echo "$failures check(s) failed; logs in $out"
    exit 1
  fi
  echo "all checks passed; screenshot $out/screenshot.png"
  exit 0
}

# Processes of the user in our root whose program is ours or WebKit's: "pid exe cmdline" lines.
ours() {
  local p exe
  for p in $(in_root_pids); do
    [ "$(stat -c %u "/proc/$p" 2>/dev/null)" = "$uid" ] || continue
    exe=$(readlink "/proc/$p/exe" 2>/dev/null) || continue
    exe=${exe#"$root"}
    case $exe in
      /usr/libexec/xscreensaver/vellomar | /usr/share/vellomar/* | */WebKit*Process*)
        echo "$p $exe $(tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null)" ;;
    esac
  done
  return 0
}
# Unique colours of a screenshot taken in the root.
colours() { as_user convert "$1" -format %k info:; }

make_root() {
  local mirror base
  if [ ! -f "$cache" ]; then
    mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
    [ -n "$mirror" ] || mirror=$(awk '/^deb /{print $2; exit}' /etc/apt/sources.list)
    command -v debootstrap >/dev/null || apt-get install -y debootstrap
    base=$(mktemp -d "$tmp/fresh-base.XXXX")
    debootstrap --variant=minbase bookworm "$base" "$mirror" || { rm -rf "$base"; return 1; }
    # Renamed into place, so that a run beside this one never unpacks half a tarball.
    tar -C "$base" -cf "$cache.$$" . && mv "$cache.$$" "$cache"
    rm -rf "$base"
  fi
  tar -C "$root" -xf "$cache"
  chmod 755 "$root"
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  mount --make-rslave "$root/dev"
  # Shared memory of the root's own, so that nothing of the test lands in the machine's.
  mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
  mount -t sysfs sys "$root/sys"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  # Authorities this machine's owner added stay trusted, as fresh-run does.
  if ls /usr/local/share/ca-certificates/*.crt >/dev/null 2>&1; then
    mkdir -p "$root/usr/local/share/ca-certificates" "$root/etc/ssl/certs"
    cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
    if [ -f /etc/ssl/certs/ca-certificates.crt ]; then
      cp /etc/ssl/certs/ca-certificates.crt "$root/etc/ssl/certs/"
    fi
  fi
  # No service starts inside a chroot, as Debian's build roots do.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod 755 "$root/usr/sbin/policy-rc.d"
  install -m 644 "$deb" "$root/tmp/"
  in_root apt-get update -q >"$out/apt-update.log" 2>&1 ||
    { tail -n 30 "$out/apt-update.log"; return 1; }
}

files_now() { in_root find / -xdev | LC_ALL=C sort; }
package_paths() {
  dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\.||; s|/$||' | grep . | LC_ALL=C sort
}

install_package() {
  files_now >"$out/files-before.txt"
  # Without recommends: the package's Depends alone must be enough.
  in_root apt-get install -y -q --no-install-recommends -o DPkg::Options::=--force-unsafe-io \
    "/tmp/$(basename "$deb")" xscreensaver xvfb x11-utils imagemagick \
    >"$out/apt-install.log" 2>&1 ||
    { echo "apt-get install failed:"; tail -n 30 "$out/apt-install.log"; return 1; }
  local status
  status=$(in_root dpkg-query -W -f '${Status}' vellomar)
  [ "$status" = "install ok installed" ] || { echo "vellomar is '$status'"; return 1; }
  # Every library the program links comes with the package's dependencies.
  local missing
  missing=$(in_root ldd /usr/libexec/xscreensaver/vellomar | grep 'not found' || true)
  [ -z "$missing" ] ||
    { echo "libraries the dependencies did not bring:"; echo "$missing"; return 1; }
  [ "$(in_root readlink -f /usr/bin/vellomar)" = /usr/libexec/xscreensaver/vellomar ] || {
    echo "/usr/bin/vellomar does not lead to the program"; return 1; }
  # Every path of the package is in place, so that the purge's comparison covers them all.
  package_paths >"$out/package-paths.txt"
  missing=$(while IFS= read -r path; do
              [ -e "$root$path" ] || [ -L "$root$path" ] || echo "$path"
            done <"$out/package-paths.txt")
  [ -z "$missing" ] || { echo "not installed:"; echo "$missing"; return 1; }
  echo "all $(wc -l <"$out/package-paths.txt") paths of the package are in place"
}

add_to_xscreensaver() {
  in_root useradd -m -s /bin/bash "$user"
  uid=$(in_root id -u "$user")
  keep uid "$uid"
  as_user vellomar --add-to-xscreensaver || return 1
  grep -E '(^|[[:space:]])vellomar --root' "$root$home/.xscreensaver" || {
    echo "~/.xscreensaver has no 'vellomar --root' entry"; return 1; }
  # A second run, as a user who forgot the first, leaves the file as it is.
  cp "$root$home/.xscreensaver" "$out/xscreensaver-prefs.txt"
  as_user vellomar --add-to-xscreensaver || return 1
  cmp "$root$home/.xscreensaver" "$out/xscreensaver-prefs.txt" ||
    { echo "the second run changed ~/.xscreensaver"; return 1; }
}

# XScreenSaver's "selected" is an index into the programs list, counted from 0 (-select and
# -watch count from 1). Entries are separated by a literal \n; lines continue with a backslash.
# An entry may be disabled ("-") and may name a visual ("GL:").
select_vellomar() {
  local index
  index=$(awk '
    /^programs:/ { on = 1; sub(/^programs:/, "") }
    on { line = $0; more = sub(/\\$/, "", line); value = value line; if (!more) on = 0 }
    END {
      n = split(value, entries, /\\n/); i = 0
      for (k = 1; k <= n; k++) {
        e = entries[k]; gsub(/^[ \t]+|[ \t]+$/, "", e)
        if (e == "") continue
        sub(/^-[ \t]*/, "", e); sub(/^[A-Za-z0-9-]+:[ \t]*/, "", e)
        split(e, word, /[ \t]+/)
        if (word[1] ~ /(^|\/)vellomar$/) { print i; exit }
        i++
      }
    }' "$root$home/.xscreensaver")
  [ -n "$index" ] || { echo "no vellomar entry in the programs list"; return 1; }
  echo "vellomar is entry $index (from 0) of the programs list"
  # The user's own edit of the file, as the settings program would write it.
  as_user sh -c '
    f=$HOME/.xscreensaver
    for pair in "mode:one" "selected:$1"; do
      key=${pair%%:*} value=${pair#*:}
      if grep -q "^$key:" "$f"; then
        sed -i "s/^$key:.*/$key:\t\t$value/" "$f"
      else
        printf "%s:\t\t%s\n" "$key" "$value" >>"$f"
      fi
    done' sh "$index"
  grep -E '^(mode|selected):' "$root$home/.xscreensaver"
}

start_daemon() {
  local number deadline
  # The X server runs as root, as a display manager's does; it picks a free display and writes
  # its number to the pipe.
  exec 3<> <(:)
  # Started as a command, not through a function, so that $! is Xvfb (nsenter, chroot and env
  # exec it).
  nsenter --net="$netns" chroot "$root" /usr/bin/env -i "${root_env[@]}" Xvfb -displayfd 3 -screen 0 1024x768x24 \
    -nolisten tcp >"$root/tmp/xvfb.log" 2>&1 &
  xvfb=$!
  read -r -t 15 number <&3 || { echo "Xvfb gave no display"; return 1; }
  exec 3<&-
  display=:$number
  keep xvfb "$xvfb"
  keep display "$display"
  echo "Xvfb on $display"
  as_user xscreensaver --no-splash --log "$log" >/dev/null 2>&1 &
  daemon=$!
  keep daemon "$daemon"
  deadline=$((SECONDS + 15))
  until as_user xscreensaver-command -version; do
    kill -0 "$daemon" 2>/dev/null || { echo "xscreensaver ended"; return 1; }
    [ $SECONDS -lt $deadline ] || { echo "xscreensaver did not answer within 15 s"; return 1; }
    sleep 0.2
  done
}

# Within 10 s of -activate: a vellomar of the user's running, and a screen of many colours (the
# movie's glows; black, the root's weave or one colour fail).
activate() {
  local start found count=0 running seen=
  start=$EPOCHREALTIME
  as_user xscreensaver-command -activate
  while :; do
    running=$(ours)
    found=$(grep ' /usr/libexec/xscreensaver/vellomar ' <<<"$running" || true)
    if [ -n "$found" ] && [ -z "$seen" ]; then
      seen=$EPOCHREALTIME
    fi
    if [ -n "$found" ]; then
      as_user import -window root /tmp/shot.png 2>/dev/null &&
        count=$(colours /tmp/shot.png) || count=0
      [ "${count:-0}" -ge 256 ] && break
    fi
    if awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {exit !(b - a > 10)}'; then
      echo "within 10 s: vellomar process: ${found:-none}; colours on the screen: $count"
      [ -f "$root/tmp/shot.png" ] && cp "$root/tmp/shot.png" "$out/screenshot.png"
      return 1
    fi
    sleep 0.25
  done
  cp "$root/tmp/shot.png" "$out/screenshot.png"
  echo "running:"
  echo "$running"
  echo "colours on the screen: $count"
  awk -v a="$start" -v s="$seen" -v b="$EPOCHREALTIME" 'BEGIN {
    printf "vellomar running %.1f s and the movie on the screen %.1f s after -activate\n",
           s - a, b - a }'
  # The movie plays in WebKit's web process: seen here, so that the next check watches it too.
  grep -q '/WebKitWebProcess ' <<<"$running" ||
    { echo "no WebKitWebProcess of the user's"; return 1; }
}

# Within 3 s of the daemon ending vellomar, nothing of ours runs. The daemon's graphics process
# may take seconds to act on -deactivate (it logs "killing pid N (vellomar)" when it does): that
# wait is the daemon's, so it has a deadline of its own.
deactivate() {
  local start killed left
  start=$EPOCHREALTIME
  as_user xscreensaver-command -deactivate
  until grep -aqE 'killing pid [0-9]+ \(vellomar\)' "$root$log"; do
    if awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {exit !(b - a > 10)}'; then
      echo "the daemon did not end vellomar within 10 s of -deactivate"
      return 1
    fi
    sleep 0.05
  done
  killed=$EPOCHREALTIME
  while left=$(ours); [ -n "$left" ]; do
    if awk -v a="$killed" -v b="$EPOCHREALTIME" 'BEGIN {exit !(b - a > 3)}'; then
      echo "still running 3 s after the daemon ended vellomar:"
      echo "$left"
      return 1
    fi
    sleep 0.1
  done
  awk -v a="$start" -v k="$killed" -v b="$EPOCHREALTIME" 'BEGIN {
    printf "the daemon ended vellomar %.1f s after -deactivate; all of ours gone %.1f s later\n",
           k - a, b - k }'
}

# The daemon exits when asked, then Xvfb; within 3 s no process at all is left in the root.
stop_daemon() {
  local deadline p left=""
  as_user xscreensaver-command -exit || true
  deadline=$((SECONDS + 10))
  while kill -0 "$daemon" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || { echo "xscreensaver still running 10 s after -exit"; return 1; }
    sleep 0.1
  done
  kill "$xvfb"
  deadline=$((SECONDS + 10))
  while kill -0 "$xvfb" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || { echo "Xvfb still running 10 s after TERM"; return 1; }
    sleep 0.1
  done
  display=
  keep display ""
  deadline=$((SECONDS + 3))
  while [ -n "$(in_root_pids)" ]; do
    if [ $SECONDS -ge $deadline ]; then
      for p in $(in_root_pids); do
        left+="$p uid $(stat -c %u "/proc/$p" 2>/dev/null)"
        left+=" $(tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null)"$'\n'
      done
      echo "processes left in the root:"
      printf '%s' "$left"
      return 1
    fi
    sleep 0.1
  done
}

# After the purge no path of the package's (dpkg -c), nothing under its folders (all named after
# it) and no other file named after it remains that was not there before the install; folders
# other packages own stay.
purge() {
  in_root apt-get purge -y -q vellomar >"$out/apt-purge.log" 2>&1 ||
    { echo "apt-get purge failed:"; tail -n 30 "$out/apt-purge.log"; return 1; }
  grep -i 'warning' "$out/apt-purge.log" || true
  local status left=() path
  status=$(in_root dpkg-query -W -f '${Status}' vellomar 2>/dev/null || true)
  [ -z "$status" ] || [ "$status" = "unknown ok not-installed" ] || {
    echo "vellomar is '$status' after the purge"; return 1; }
  files_now >"$out/files-after.txt"
  # New since before the install, and the package's, under its own folders or named after it.
  while IFS= read -r path; do
    # A folder another package owns stays.
    in_root dpkg-query -S "$path" >/dev/null 2>&1 || left+=("$path")
  done < <(LC_ALL=C comm -13 "$out/files-before.txt" "$out/files-after.txt" |
           awk -v paths="$out/package-paths.txt" '
             BEGIN { while ((getline p < paths) > 0) own[p] = 1 }
             /^\/(home|tmp)\// { next }
             $0 in own || /vellomar/ { print }')
  [ ${#left[@]} -eq 0 ] || { echo "left after the purge:"; printf '  %s\n' "${left[@]}"; return 1; }
  echo "nothing of the package's $(wc -l <"$out/package-paths.txt") paths is left"
  # What the program wrote in the user's home is theirs; listed, not judged.
  echo "in $home after the purge:"
  (cd "$root$home" && find . -mindepth 1 | sort | sed 's/^/  /')
}

began=$EPOCHREALTIME
display=
uid=
check fresh-root make_root || finish
check install install_package || finish
check add-to-xss add_to_xscreensaver || finish
check select select_vellomar || finish
check daemon start_daemon || finish
if check activate activate; then
  check deactivate deactivate || true
fi
check stop stop_daemon || true
check purge purge || true
finish
