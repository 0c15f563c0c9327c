# Sourced by demo.sh and bench-program.sh, from the project's root: what runs the Linux program
# with settings of its own, away from the user's.
#   prepare_program OUT [LINE...]  installs what the program needs, builds it, and writes
#                                  OUT/config/vellomar/settings.ini naming the build as the install
#                                  folder, with the LINEs (name=type:data) after it
#   own_display                    starts an Xvfb of 1024 x 768 and points DISPLAY at it
# Both leave in the array pids what the caller ends on its way out.
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT

prepare_program() {
  local out=$1
  shift
  . tools/packages.sh
  prepare_linux_preset
  cmake --build --preset linux -j 2 --target vellomar >/dev/null
  rm -rf "$out"
  mkdir -p "$out/config/vellomar"
  {
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Starloom\\Vellomar Screensaver]\npath=sz:%s\n' \
      "$PWD/build/linux"
    [ $# -eq 0 ] || printf '%s\n' "$@"
  } >"$out/config/vellomar/settings.ini"
}

own_display() {
  local number
  exec 3<> <(:)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
  pids+=($!)
  read -r number <&3
  export DISPLAY=":$number"
}
