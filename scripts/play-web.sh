#!/usr/bin/env bash
# Installs what is missing, builds the story's web page and serves it on
# this machine, to be played in a browser.
#   scripts/play-web.sh [--data DIR] [--port N]
# The data: --data DIR (the folder that holds the Data folder), else a Data
# folder (any letter case) in the working directory, else the demo data set
# the native build generates (build/release/demo). The page packs the data
# set in, so another --data builds the page anew.
# The port: 8640 unless --port N says otherwise (0: any free one).
set -euo pipefail
caller=$(pwd)
cd "$(dirname "$0")/.."
root=$(pwd)

data=""
port=8640
while (($#)); do
  case $1 in
    --data) [ $# -ge 2 ] || { echo "--data needs a folder" >&2; exit 2; }; data=$2; shift 2 ;;
    --port) [ $# -ge 2 ] || { echo "--port needs a number" >&2; exit 2; }; port=$2; shift 2 ;;
    -h | --help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
[[ $port =~ ^[0-9]+$ ]] || { echo "--port wants a number, not $port" >&2; exit 2; }

scripts/install-deps.sh
export NODE_PATH=/usr/share/nodejs  # Debian's emscripten finds its acorn there
jobs=$(nproc)
[ -f build/release/CMakeCache.txt ] || cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$jobs" --target demo-data

# A relative --data DIR is taken from where the script was started.
if [ -n "$data" ]; then
  [ "${data#/}" = "$data" ] && data="$caller/$data"
elif [ -n "$(find "$caller" -mindepth 1 -maxdepth 1 -xtype d -iname data -print -quit)" ]; then
  data=$caller
else
  data=$root/build/release/demo
  echo "playing the demo data set (made by make-demo-data in $data)"
fi
data=$(cd "$data" && pwd)
# The page reads the data set at /kaze/Data, in that letter case.
if [ ! -d "$data/Data" ]; then
  found=$(find "$data" -mindepth 1 -maxdepth 1 -xtype d -iname data -print -quit)
  [ -n "$found" ] || { echo "no Data folder in $data" >&2; exit 1; }
  link=$root/build/web-data
  mkdir -p "$link"
  ln -sfn "$found" "$link/Data"
  data=$link
fi

emcmake cmake -S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release -DKAZE_WEB_DATA="$data" >/dev/null
cmake --build build/web -j "$jobs"

echo "open the address below in a browser; the sound starts with the first click or key (Ctrl+C stops serving)"
exec node tools/web/serve.mjs build/web/page "$port"
