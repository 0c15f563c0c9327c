#!/usr/bin/env bash
# The whole Linux program's benchmark: `vellomar --fullscreen` on an Xvfb of 1024 x 768 of its
# own, playing our movie. Prints the time from the start to the first frame on the screen (the
# backdrop is black until the movie draws; sampled every ~0.1 s), the memory (PSS) of the program
# and its web processes, and their CPU per second of playback over 15 s. Prints, never asserts.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/linux/program.sh
out=$PWD/build/linux-bench
prepare_program "$out" "music=sz:0"
own_display

read_stat() { # the caller's array `fields`: those of /proc/$1/stat after the command name
  local line
  # A process may end at any time: its entry then fails to open, silently (the redirection of
  # standard error must come first to cover the open).
  { read -r line <"/proc/$1/stat"; } 2>/dev/null || return 1
  read -ra fields <<<"${line##*) }"
}
# The program and every process under it: the web view's processes are its children.
tree() {
  local all=("$1") i=0 dir pid
  local -a fields
  while [ $i -lt ${#all[@]} ]; do
    for dir in /proc/[0-9]*; do
      pid=${dir#/proc/}
      read_stat "$pid" || continue
      if [ "${fields[1]}" = "${all[$i]}" ]; then all+=("$pid"); fi
    done
    i=$((i + 1))
  done
  echo "${all[@]}"
}
ticks() { # user + system clock ticks of the given processes
  local sum=0 pid
  local -a fields
  for pid in "$@"; do
    read_stat "$pid" || continue
    sum=$((sum + fields[11] + fields[12]))
  done
  echo "$sum"
}
drawn() { # anything but black on the screen, at a coarse scale
  import -window root -resize 32x24! -format '%[fx:maxima]' info: 2>/dev/null |
    awk '{exit !($1 > 0.05)}'
}

start=$(date +%s.%N)
XDG_CONFIG_HOME="$out/config" build/linux/vellomar --fullscreen 2>/dev/null &
saver=$!
pids+=("$saver")
until drawn; do
  kill -0 "$saver" 2>/dev/null || { echo "the program ended before its first frame" >&2; exit 1; }
  sleep 0.05
done
first=$(date +%s.%N)
sleep 5
# A view of one flat colour that is not black (a blank white page) passes the check above with no
# movie on the screen: say so, as the figures then measure no movie.
import -window root -resize 64x48! -format '%[fx:standard_deviation]' info: 2>/dev/null |
  awk '{exit !($1 < 0.01)}' && echo "warning: the screen is one colour, the movie is not showing" >&2
procs=($(tree "$saver"))
pss=0
for pid in "${procs[@]}"; do
  kb=$(awk '/^Pss:/{print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || echo 0)
  pss=$((pss + ${kb:-0}))
done
before=$(ticks "${procs[@]}")
sleep 15
after=$(ticks "${procs[@]}")
hz=$(getconf CLK_TCK)
xdotool key Escape
wait "$saver" || true
awk -v s="$start" -v f="$first" -v p="$pss" -v n="${#procs[@]}" -v t=$((after - before)) \
    -v hz="$hz" 'BEGIN {
  printf "full screen 1024x768, music off: first frame %.2f s after the start; ", f - s
  printf "memory %.1f MB (PSS, %d processes); CPU %.1f %% of one core over 15 s\n",
         p / 1024, n, 100 * t / hz / 15 }'
