#!/usr/bin/env bash
# Installs what is missing, builds the player and plays.
#   scripts/play.sh [--data DIR] [--window] [--scale N] [--mute]
# With a display ($DISPLAY or $WAYLAND_DISPLAY) kaze opens full screen, or in
# a window with --window. Without one it plays a scripted session on the
# headless host (scripts/play.script: skip the opening, hurry the text, turn
# pages, quit), clicking through as a player would, and writes PNG snapshots
# of its key moments into out/snapshots.
# The data: --data DIR, else a Data folder (any letter case) in the working
# directory, else the demo data set the build generates (build/release/demo).
set -euo pipefail
caller=$(pwd)
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
jobs=$(nproc)
cmake --build build/release -j "$jobs" --target kaze demo-data
kaze=build/release/src/kaze

# The data folder: the player's own choice wins. A relative --data DIR is
# taken from where the script was started, not from here.
data=""
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  if [ "${args[$i]}" = "--data" ] && [ $((i + 1)) -lt ${#args[@]} ]; then
    data=${args[$((i + 1))]}
    [ "${data#/}" = "$data" ] && data="$caller/$data"
    args[$((i + 1))]=$data
  fi
done
if [ -z "$data" ]; then
  if [ -n "$(find "$caller" -mindepth 1 -maxdepth 1 -type d -iname data -print -quit)" ]; then
    data=$caller
  else
    data=build/release/demo
    echo "playing the demo data set (made by make-demo-data in $root/$data)"
  fi
  args+=(--data "$data")
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$kaze" "${args[@]}"
fi

# No display: a scripted session, shown as snapshots.
snaps=out/snapshots
mkdir -p "$snaps"
rm -f "$snaps"/snap-*.png
times=3000,20000,45000,70000,78000,82000,86000,90000,100000,118000,134000,150000,161500
echo "no display here: playing a scripted session headless (scripts/play.script)"
"$kaze" --headless --data "$data" --script scripts/play.script --until 175000 \
  --trace out/play-trace.jsonl --snap "$times" --snap-dir "$snaps"
count=$(ls "$snaps"/snap-*.png 2>/dev/null | wc -l)
missing=$(grep -c '"ev":"msgbox"' out/play-trace.jsonl || true)
echo "the session's key moments: $count PNG snapshots in $root/$snaps (snap-<ms of play>.png)"
echo "its trace: $root/out/play-trace.jsonl"
[ "$missing" -gt 0 ] && echo "note: $missing message boxes during the run (see the trace: pictures the data set lacks)"
exit 0
