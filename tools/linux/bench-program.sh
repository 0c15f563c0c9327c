#!/usr/bin/env bash
# The whole Linux program's benchmark, beside what a user could run instead: `vellomar
# --fullscreen`, and the same shipped page, emulator and movie in Chromium's kiosk mode, each on an
# Xvfb of 1024 x 768 of its own, alternately, VELLOMAR_BENCH_PROGRAM_RUNS times each (2). For
# each run it prints the time from the start to the movie's first frame on the screen (sampled
# every ~0.1 s), the memory (PSS) of all the processes and their CPU over 15 s of playback; then
# the medians and vellomar/chromium ratios. Prints, never asserts; a bad run is reported and
# skipped.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/linux/program.sh
out=$PWD/build/linux-bench
runs=${VELLOMAR_BENCH_PROGRAM_RUNS:-2}
seconds=15
# The flashvars the full-screen role passes with these settings: routine s, music 0, language 2.
prepare_program "$out" "music=sz:0" "language=sz:1033"
bash tools/install-packages.sh chromium
hz=$(getconf CLK_TCK)

read_stat() { # the caller's array `fields`: those of /proc/$1/stat after the command name
  local line
  # A process may end at any time: its entry then fails to open, silently (the redirection of
  # standard error must come first to cover the open).
  { read -r line <"/proc/$1/stat"; } 2>/dev/null || return 1
  read -ra fields <<<"${line##*) }"
}
alive() { # a zombie has ended too
  local -a fields
  read_stat "$1" && [ "${fields[0]}" != Z ]
}
cpu_ticks() { # user + system clock ticks of process $1
  local -a fields
  read_stat "$1" && echo $((fields[11] + fields[12]))
}
# The process $1 and all below it; with a mark ($2), also every process whose command line or
# environment holds it, and all below those: a browser's helpers may be reparented away from it.
# A process that ends during the walk is left out, silently.
tree() {
  local root=$1 mark=${2:-} dir pid file i=0
  local -a all=("$root") fields words
  local -A parent=() seen=(["$root"]=1)
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    read_stat "$pid" || continue
    parent[$pid]=${fields[1]}
    if [ -z "$mark" ] || [ -n "${seen[$pid]:-}" ]; then continue; fi
    for file in cmdline environ; do
      { mapfile -d '' words <"/proc/$pid/$file"; } 2>/dev/null || continue
      if [[ "${words[*]}" == *"$mark"* ]]; then
        all+=("$pid")
        seen[$pid]=1
        break
      fi
    done
  done
  while [ $i -lt ${#all[@]} ]; do
    for pid in "${!parent[@]}"; do
      if [ "${parent[$pid]}" = "${all[$i]}" ] && [ -z "${seen[$pid]:-}" ]; then
        all+=("$pid")
        seen[$pid]=1
      fi
    done
    i=$((i + 1))
  done
  echo "${all[@]}"
}
# "PSS anon" in kB, summed over the processes given; one that has ended counts for nothing. The
# anonymous and shared-memory part is apart because the rest, the pages of the programs' files,
# is shared with whatever else maps them, other sessions' processes included.
pss_kb() {
  local sum=0 anon=0 pid key value _
  for pid in "$@"; do
    {
      while read -r key value _; do
        case $key in
          Pss:) sum=$((sum + value)) ;;
          Pss_Anon: | Pss_Shmem:) anon=$((anon + value)) ;;
        esac
      done <"/proc/$pid/smaps_rollup"
    } 2>/dev/null || true
  done
  echo "$sum $anon"
}
ticks_over() { # clock ticks the processes given use over $1 s; one that ends meanwhile counts 0
  local wait=$1 sum=0 pid now
  local -A before=()
  shift
  for pid in "$@"; do before[$pid]=$(cpu_ticks "$pid") || unset "before[$pid]"; done
  sleep "$wait"
  for pid in "${!before[@]}"; do
    now=$(cpu_ticks "$pid") && sum=$((sum + now - before[$pid]))
  done
  echo "$sum"
}
# The movie is on the screen: a colour shows, at a coarse scale, where before there was only the
# black backdrop or a browser's white window.
shows_movie() {
  import -window root -resize 32x24! miff:- 2>/dev/null |
    convert miff:- -fx 'max(max(r,g),b)-min(min(r,g),b)' -format '%[fx:maxima]' info: 2>/dev/null |
    awk '{exit !($1 > 0.1)}'
}
one_colour() {
  import -window root -resize 64x48! -format '%[fx:standard_deviation]' info: 2>/dev/null |
    awk '{exit !($1 < 0.01)}'
}

# measure LABEL MARK STOP COMMAND...: runs COMMAND on an Xvfb of its own, with MARK (a string no
# other process holds) in its environment, ends it with `STOP PID` and appends "NAME first-frame-s
# PSS-kB anon-kB CPU-ticks" to $out/results, NAME being LABEL's first word.
measure() {
  local label=$1 mark=$2 stop=$3 name=${1%% *} start first pid display procs pss ticks why i
  shift 3
  own_display
  display=${pids[-1]}
  start=$(date +%s.%N)
  env "VELLOMAR_BENCH_RUN=$mark" "$@" >>"$out/$name.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  first=
  while alive "$pid" && awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN {exit !(n - s < 30)}'; do
    if shows_movie; then first=$(date +%s.%N); break; fi
    sleep 0.05
  done
  if [ -z "$first" ]; then
    why="it ended before its first frame"
    if alive "$pid"; then why="no movie on the screen within 30 s"; fi
    echo "$label: $why (see $out/$name.log); run skipped" >&2
  else
    sleep 5
    # A view of one flat colour measures no movie: say so.
    one_colour && echo "warning: $label: the screen is one colour, the movie is not showing" >&2
    read -ra procs <<<"$(tree "$pid" "$mark")"
    pss=$(pss_kb "${procs[@]}")
    ticks=$(ticks_over "$seconds" "${procs[@]}")
    first=$(awk -v s="$start" -v f="$first" 'BEGIN {print f - s}')
    echo "$name $first $pss $ticks" >>"$out/results"
    awk -v f="$first" -v p="${pss% *}" -v a="${pss#* }" -v n="${#procs[@]}" -v t="$ticks" \
        -v hz="$hz" -v secs="$seconds" -v label="$label" 'BEGIN {
      printf "%s: first frame %.2f s after the start; memory %.1f MB (PSS, %d processes; ",
             label, f, p / 1024, n
      printf "of it anonymous %.1f MB); ", a / 1024
      printf "CPU %.1f %% of one core over %d s\n", 100 * t / hz / secs, secs }'
  fi
  "$stop" "$pid" 2>/dev/null || true
  for i in $(seq 100); do alive "$pid" || break; sleep 0.1; done
  # Whatever outlives it (a browser's crash handler, say) goes too.
  for i in $(tree "$pid" "$mark"); do kill "$i" 2>/dev/null || true; done
  wait "$pid" 2>/dev/null || true
  kill "$display" 2>/dev/null || true
  wait "$display" 2>/dev/null || true
}
press_escape() { xdotool key Escape; }
terminate() { kill "$1"; }

# Chromium reads the page over http from this stand-in for the program's own scheme (not
# measured: the program serves it from its own process, which is measured).
node tools/linux/serve-player.mjs build/linux/player build/linux/vellomar.lak >"$out/server" \
  2>>"$out/server.log" &
server=$!
pids+=("$server")
until [ -s "$out/server" ] || ! alive "$server"; do sleep 0.1; done
page=$(head -n 1 "$out/server")
browser=(chromium --kiosk --no-first-run --disable-background-networking --disable-component-update
         --disable-sync --disable-gpu --autoplay-policy=no-user-gesture-required
         # No window manager places the window on the Xvfb.
         "--window-position=0,0" "--window-size=1024,768")
[ "$(id -u)" != 0 ] || browser+=(--no-sandbox)

rm -f "$out/results" "$out/vellomar.log" "$out/chromium.log"
for run in $(seq "$runs"); do
  measure "vellomar --fullscreen" "$out/vellomar-run-$run" press_escape \
    env XDG_CONFIG_HOME="$out/config" build/linux/vellomar --fullscreen
  if [ -z "$page" ]; then
    echo "chromium --kiosk: no page to play (see $out/server.log); run skipped" >&2
    continue
  fi
  profile=$(mktemp -d "$out/chromium-profile.XXXXXX")
  # The profile's name marks the browser's processes: it is on their command lines.
  measure "chromium --kiosk" "$profile" terminate \
    "${browser[@]}" --user-data-dir="$profile" \
      "$page?s.Menu=true&s.AllowScriptAccess=always&v.music=0&v.language=2&v.routine=s"
  rm -rf "$profile"
done
kill "$server" 2>/dev/null || true
wait "$server" 2>/dev/null || true

[ -s "$out/results" ] || { echo "no run measured" >&2; exit 1; }
awk -v hz="$hz" -v secs="$seconds" '
  function median(list, n,    a, i, j, t) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) {
      t = a[j]; a[j] = a[j - 1]; a[j - 1] = t
    }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  { side = $1 == "vellomar" ? "v" : "c"; runs[side]++
    first[side] = first[side] " " $2; pss[side] = pss[side] " " $3; anon[side] = anon[side] " " $4
    cpu[side] = cpu[side] " " $5 }
  END {
    printf "\nfull screen 1024x768, music off; medians of %d and %d runs\n", runs["v"], runs["c"]
    printf "%-22s %12s %9s %14s %18s\n", "", "first frame", "PSS MB", "of it anon MB",
           "CPU % of one core"
    for (s = 0; s < 2; s++) {
      side = s ? "c" : "v"
      if (!runs[side]) continue
      f[side] = median(first[side]); m[side] = median(pss[side]) / 1024
      anonmb[side] = median(anon[side]) / 1024; c[side] = 100 * median(cpu[side]) / hz / secs
      printf "%-22s %10.2f s %9.1f %14.1f %18.1f\n",
             s ? "chromium --kiosk" : "vellomar --fullscreen", f[side], m[side], anonmb[side],
             c[side]
    }
    if (runs["v"] && runs["c"] && f["c"] && m["c"] && anonmb["c"] && c["c"])
      printf "%-22s %12.2f %9.2f %14.2f %18.2f\n", "vellomar / chromium", f["v"] / f["c"],
             m["v"] / m["c"], anonmb["v"] / anonmb["c"], c["v"] / c["c"]
  }' "$out/results"
