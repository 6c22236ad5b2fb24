#!/usr/bin/env bash
# Installs what is missing, builds the player and plays.
#   scripts/play.sh [--data DIR] [--window] [--scale N] [--mute]
# With a display ($DISPLAY or $WAYLAND_DISPLAY) kaze opens full screen, or in
# a window with --window or --scale. Without one it plays a scripted session
# on the headless host (scripts/play.script: skip the opening, hurry the
# text, turn pages, quit), clicking through as a player would, and writes
# PNG snapshots of its key moments into out/snapshots.
# kaze runs in the directory the script was started from, so it finds the
# data there as it always does: --data DIR, else a Data folder (any letter
# case) there, else the demo data set of its build (build/release/demo).
# Paths given to it are taken from there, and F12's screenshots land there.
set -euo pipefail
caller=$(pwd)
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh play
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
jobs=$(nproc)
cmake --build build/release -j "$jobs" --target kaze demo-data
kaze=$root/build/release/src/kaze

# The data folder the player named, if any ("--data DIR" or "--data=DIR").
data=""
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  case ${args[$i]} in
    --data) [ $((i + 1)) -lt ${#args[@]} ] && data=${args[$((i + 1))]} ;;
    --data=*) data=${args[$i]#--data=} ;;
  esac
done
if [ -z "$data" ] && [ -z "$(find "$caller" -mindepth 1 -maxdepth 1 -type d -iname data -print -quit)" ]; then
  echo "playing the demo data set (made by make-demo-data in $root/build/release/demo)"
fi

cd "$caller"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$kaze" "$@"
fi

# No display: a scripted session, shown as snapshots.
snaps=$root/out/snapshots
trace=$root/out/play-trace.jsonl
mkdir -p "$snaps"
rm -f "$snaps"/snap-*.png
times=3000,20000,45000,70000,78000,82000,86000,90000,100000,118000,134000,150000,161500
echo "no display here: playing a scripted session headless (scripts/play.script)"
"$kaze" --headless ${data:+--data "$data"} --script "$root/scripts/play.script" --until 175000 \
  --trace "$trace" --snap "$times" --snap-dir "$snaps"
count=$(ls "$snaps"/snap-*.png 2>/dev/null | wc -l)
missing=$(grep -c '"ev":"msgbox"' "$trace" || true)
echo "the session's key moments: $count PNG snapshots in $snaps (snap-<ms of play>.png)"
echo "its trace: $trace"
[ "$missing" -gt 0 ] && echo "note: $missing message boxes during the run (see the trace: pictures the data set lacks)"
exit 0
