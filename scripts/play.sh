#!/usr/bin/env bash
# Installs what is missing, builds the player and plays.
#   scripts/play.sh [--data DIR] [--window] [--scale N] [--mute]
# With a display ($DISPLAY or $WAYLAND_DISPLAY) kaze opens full screen, or in
# a window with --window. Without one it plays a scripted session on the
# headless host (scripts/play.script: skip the opening, hurry the text, turn
# pages, quit), clicking through as a player would, and writes PNG snapshots
# of its key moments into out/snapshots.
# The data: --data DIR, else a Data folder here, else the demo data set when
# this build can make one.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
jobs=$(nproc)
cmake --build build/release -j "$jobs" --target kaze
kaze=build/release/src/kaze

# The data folder: the player's own choice wins.
data=""
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  [ "${args[$i]}" = "--data" ] && data=${args[$((i + 1))]:-}
done
if [ -z "$data" ]; then
  if [ -d Data ] || [ -d data ] || [ -d DATA ]; then
    data=.
  elif ninja -C build/release -t targets all 2>/dev/null | grep -q '^make-demo-data:'; then
    cmake --build build/release -j "$jobs" --target make-demo-data
    maker=$(find build/release -name make-demo-data -type f -perm -u+x | head -n 1)
    data=build/release/demo
    [ -d "$data/Data" ] || "$maker" "$data"
  else
    data=.
    echo "note: no data set here and no demo data maker in this build; pictures will be missing"
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
