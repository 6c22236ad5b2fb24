#!/bin/sh
# Processor time of the whole program on the sdl host over stretches of the
# scene cycle: a black pause of the opening (the game thread flips about once
# a millisecond) beside a picture that stands still (50 flips a second).
#
#   bench/sdl_scene_cpu.sh BUILD_DIR DATA_PARENT
#
# DATA_PARENT holds a complete Data folder (no missing picture: a message box
# would hold the run). Starts its own Xvfb on :93 unless DISPLAY is set.
# Prints the share of one core for each stretch. The times are those of the
# scene cycle with every picture present.
set -eu
build=$1
data=$2
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :93 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null' EXIT
  export DISPLAY=:93
  sleep 1
fi
"$build/src/kaze" --window --scale 2 --data "$data" >/dev/null 2>&1 &
pid=$!
ticks=$(getconf CLK_TCK)
start=$(date +%s.%N)

cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
at() {  # sleep until $1 seconds after the start
  now=$(date +%s.%N)
  sleep "$(echo "$1 - ($now - $start)" | bc)"
}
measure() {  # name from to
  at "$2"; a=$(cpu); t0=$(date +%s.%N)
  at "$3"; b=$(cpu); t1=$(date +%s.%N)
  echo "$1: $(echo "scale=1; 100 * ($b - $a) / $ticks / ($t1 - $t0)" | bc) % of one core over $(echo "$t1 - $t0" | bc | cut -c1-4) s"
}
measure "intro, first picture standing" 1.0 4.0
measure "opening, pause after part 1" 79.5 83.3
measure "opening, closing line standing" 106 122
kill "$pid"
