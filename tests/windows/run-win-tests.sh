#!/usr/bin/env bash
# Builds kaze.exe with mingw-w64 and plays it under Wine on private X screens,
# checking what a player of the Windows build would see:
#   1. with the demo data, the intro's standing pictures on a 640x480x16
#      screen equal the headless Linux build's snapshots pixel for pixel
#      (but for green's lowest bit where Wine's 5-5-5 bitmaps set it, see
#      screen_match.py), and a real Escape key ends the exe with exit code 0;
#   2. the zip of scripts/make-windows-zip.sh, unpacked into an empty folder,
#      holds one top folder with kaze.exe, the demo Data, README.txt and
#      LICENSE.txt (CRLF line ends); the exe started there plays the intro's
#      first picture and Escape ends it with 0; an existing file of the zip's
#      name that the script did not make is left as it is;
#   3. with no Data folder, the loader's "ERROR" box appears, Return closes
#      it and the intro goes on (the next picture's box follows), and Escape
#      still ends the exe with 0;
#   4. on an 800x600 screen, where Wine cannot set 640x480 (it emulates 16
#      bits on a 24-bit screen, so the depth alone would not fail),
#      SetDisplayMode fails and the exe shows "SetDisplayMode FAILED", then
#      "DirectDrawCreate FAILD", both captioned "ERROR", and ends with 0: the
#      sequence that tests/scenario/display_failures_test.cpp expects of the
#      Linux build for the same failure.
# Everything runs in a temporary HOME (an ALSA null device, so DirectSound
# opens without a sound card), WINEPREFIX and X server, removed on any exit.
# A failure prints one line "win: <what went wrong>" and exits 1; each check
# that passes prints one "win ok:" line.
#   KAZE_LINUX_BUILD  the Linux build for the reference snapshots and the
#                     demo data (default build/release; built if needed)
#   KAZE_WIN_KEEP=1   keep the temporary folder (Wine's logs, the closest
#                     screenshot of a picture that never showed)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here=$root/tests/windows
linux_build=${KAZE_LINUX_BUILD:-$root/build/release}
win_build=$root/build/win
exe=$win_build/src/kaze.exe
started=$SECONDS

fail() {
  echo "win: $*"
  exit 1
}
ok() { echo "win ok: $* ($((SECONDS - started)) s)"; }
trap 'echo "win: line $LINENO failed: $BASH_COMMAND"' ERR

for tool in x86_64-w64-mingw32-g++ wine wineserver Xvfb xdotool xwd convert python3 cmake ninja; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh windows installs it)"
done

# --- builds ---------------------------------------------------------------
mkdir -p "$win_build"
{ cmake -S "$root" -B "$win_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" &&
    cmake --build "$win_build" --target kaze; } >"$win_build/win-build.log" 2>&1 ||
  fail "the Windows build failed (see build/win/win-build.log)"
[ -f "$exe" ] || fail "the Windows build made no $exe"
[ -f "$linux_build/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null ||
  fail "cannot configure the Linux build in $linux_build"
cmake --build "$linux_build" --target kaze demo-data >"$win_build/linux-build.log" 2>&1 ||
  fail "the Linux build failed (see build/win/linux-build.log)"
kaze=$linux_build/src/kaze
demo=$linux_build/demo
[ -d "$demo/Data" ] || fail "no demo data in $demo"
ok "kaze.exe built"

# --- a temporary folder for everything below, gone on any exit ---------------
work=$(mktemp -d "${TMPDIR:-/tmp}/kaze-win.XXXXXX")
xvfb_pid=""
wine_pid=""
stop_wine() {  # ends the Wine session, if one runs, and waits until it is gone
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
cleanup() {
  local status=$?
  set +e
  [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null
  [ -d "$work/prefix" ] && stop_wine
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  if [ "${KAZE_WIN_KEEP:-0}" = 1 ]; then echo "win: kept $work"; else rm -rf "$work"; fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# --- reference snapshots of the Linux build ----------------------------------
# Moments in the middle of the intro's standing pictures (virtual ms; each
# stands 2 to 9 s): the first picture, the second row after its blend, the
# third row, the fourth row's full-screen picture, then with its colour-keyed
# overlay.
moments=2000,9000,12500,17000,22000
mkdir -p "$work/ref"
"$kaze" --headless --data "$demo" --snap "$moments" --snap-dir "$work/ref" --until 22100 \
  >"$work/headless.log" 2>&1 || fail "the headless reference run failed: $(tail -n 1 "$work/headless.log")"
pictures=()
for ms in ${moments//,/ }; do pictures+=("$work/ref/snap-$ms.png"); done

# --- private machine --------------------------------------------------------
export HOME=$work/home WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64
export XDG_RUNTIME_DIR=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$HOME"
cat >"$HOME/.asoundrc" <<'EOF'
pcm.!default { type null }
EOF

# One X server, two screens: :N.0 is what the exe needs, :N.1 cannot do
# 640x480. -displayfd picks a free display number and reports it once the
# server takes connections.
Xvfb -displayfd 3 -screen 0 640x480x16 -screen 1 800x600x24 -nolisten tcp \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start (see its log: $(tail -n 1 "$work/xvfb.log"))"
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb gave no display number within 10 s"
display=:$(tr -d '\n' <"$work/display")
export DISPLAY=$display.0

# No Mono or Gecko installer, no menu entries. DirectDraw keeps Wine's
# default OpenGL renderer (Mesa's software one on Xvfb): with renderer=gdi,
# Wine 8 shows a stale buffer of garbage every few flips.
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wineboot -i >"$work/wineboot.log" 2>&1 ||
  fail "wineboot failed: $(tail -n 1 "$work/wineboot.log")"
ok "Wine prefix ready on $DISPLAY"

# --- helpers ----------------------------------------------------------------
start_exe() {  # folder [WINEDEBUG [EXE]]: runs kaze.exe there, in the background
  (cd "$1" && WINEDEBUG=${2:-$WINEDEBUG} exec wine "${3:-$exe}") >"$1.wine.log" 2>&1 &
  wine_pid=$!
}

window_named() {  # regex: id of the first visible window whose name matches
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true
}

wait_window() {  # regex seconds: id of the window once it is there
  local id deadline=$((SECONDS + $2))
  while [ $SECONDS -le $deadline ]; do
    id=$(window_named "$1")
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$wine_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

wait_gone() {  # window: waits up to 10 s until it is no longer shown
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
}

press() {  # window key
  xdotool key --window "$1" "$2" 2>/dev/null || true
}

wait_exit() {  # seconds what: waits for kaze.exe and checks its exit code
  local deadline=$((SECONDS + $1)) code=0
  while kill -0 "$wine_pid" 2>/dev/null; do
    [ $SECONDS -le $deadline ] || fail "kaze.exe did not end within $1 s $2"
    sleep 0.1
  done
  wait "$wine_pid" || code=$?
  wine_pid=""
  [ "$code" = 0 ] || fail "kaze.exe ended with exit code $code $2"
}

# Closes the exe's message boxes with Return as they come, until the exe
# ends or no box came for quiet seconds; prints their captions in order.
close_boxes() {  # quiet seconds, max boxes
  local id caption count=0 deadline=$((SECONDS + $1))
  while [ $count -lt "$2" ] && [ $SECONDS -le $deadline ]; do
    id=$(xdotool search --onlyvisible --name '.' 2>/dev/null | while read -r w; do
      name=$(xdotool getwindowname "$w" 2>/dev/null) || continue
      [ -n "$name" ] && [ "$name" != kaze ] && { echo "$w"; break; }
    done)
    if [ -z "$id" ]; then
      kill -0 "$wine_pid" 2>/dev/null || break
      sleep 0.1
      continue
    fi
    caption=$(xdotool getwindowname "$id" 2>/dev/null) || continue
    echo "$caption"
    count=$((count + 1))
    press "$id" Return
    wait_gone "$id"
    deadline=$((SECONDS + $1))
  done
}

# --- 1. the intro with the demo data ---------------------------------------
mkdir -p "$work/demo"
ln -s "$demo/Data" "$work/demo/Data"
start_exe "$work/demo"
python3 "$here/screen_match.py" "$DISPLAY" 60 "$wine_pid" "${pictures[@]}" || exit 1
ok "the intro's standing pictures equal the headless snapshots at ${moments//,/, } ms"
main=$(window_named '^kaze$')
[ -n "$main" ] || fail "no window named kaze while the intro plays"
press "$main" Escape
wait_exit 30 "after Escape"
ok "Escape ended kaze.exe with exit code 0"

# --- 2. the zip a player unpacks ---------------------------------------------
# An explicit folder that holds a file of the zip's name not made by the
# script: it must stay.
version=$(sed -n 's/^project(kaze VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
zip_file=$work/dist/kaze-$version-windows.zip
mkdir -p "$work/dist"
echo "a player's own file" >"$zip_file"
if "$root/scripts/make-windows-zip.sh" "$work/dist" >"$work/zip.log" 2>&1; then
  fail "make-windows-zip.sh replaced a file it had not made"
fi
[ "$(cat "$zip_file")" = "a player's own file" ] || fail "make-windows-zip.sh changed a file it had not made"
grep -qF "$zip_file: " "$work/zip.log" || fail "make-windows-zip.sh refused without naming the file: $(tail -n 1 "$work/zip.log")"
rm "$zip_file"
"$root/scripts/make-windows-zip.sh" "$work/dist" >"$work/zip.log" 2>&1 ||
  fail "make-windows-zip.sh failed: $(tail -n 1 "$work/zip.log")"
[ -f "$zip_file" ] || fail "make-windows-zip.sh made no kaze-$version-windows.zip"
mkdir -p "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip_file") || fail "cannot unpack $zip_file"
[ "$(ls -A "$work/unzipped")" = "kaze-$version" ] ||
  fail "the zip holds [$(ls -A "$work/unzipped" | tr '\n' ' ')], not the one folder kaze-$version"
player=$work/unzipped/kaze-$version
[ -f "$player/kaze.exe" ] || fail "the zip holds no kaze.exe"
diff -r -x .make-demo-data "$demo/Data" "$player/Data" >"$work/zip-data.diff" ||
  fail "the zip's Data differs from the demo data: $(head -n 1 "$work/zip-data.diff")"
for text in README.txt LICENSE.txt; do
  [ -s "$player/$text" ] || fail "the zip holds no $text"
  ! grep -q -v $'\r$' "$player/$text" || fail "$text has a line without CRLF"
done
! grep -q '@VERSION@' "$player/README.txt" || fail "README.txt still says @VERSION@"
start_exe "$player" "" "$player/kaze.exe"
python3 "$here/screen_match.py" "$DISPLAY" 60 "$wine_pid" "${pictures[0]}" || exit 1
main=$(window_named '^kaze$')
[ -n "$main" ] || fail "no window named kaze while the unpacked exe plays"
press "$main" Escape
wait_exit 30 "after Escape, unpacked from the zip"
ok "the zip unpacks to kaze-$version with kaze.exe, Data, README.txt and LICENSE.txt; it plays and Escape ends it with 0"

# --- 3. no Data folder --------------------------------------------------------
# Wine's msgbox channel reports each box's text, as the player reads it.
mkdir -p "$work/empty"
start_exe "$work/empty" -all,+msgbox
first=$(wait_window '^ERROR$' 60) || fail "no ERROR box for a missing picture"
press "$first" Return
wait_gone "$first"
# The first row shows black for a few seconds; then the second row's
# pictures are missing too, and their boxes come.
captions=$(close_boxes 30 2)
[ "$captions" = $'ERROR\nERROR' ] ||
  fail "after the first missing picture the boxes were [${captions//$'\n'/, }], not two more ERROR boxes"
main=$(window_named '^kaze$')
[ -n "$main" ] || fail "no window named kaze after the missing pictures"
# Every picture is missing: on a busy machine the intro can reach the next
# row, whose box takes the keyboard, before the program reads the Escape.
# Such a box is closed and Escape pressed again.
press "$main" Escape
deadline=$((SECONDS + 30))
while kill -0 "$wine_pid" 2>/dev/null; do
  [ $SECONDS -le $deadline ] || fail "kaze.exe did not end within 30 s after Escape with no data"
  sleep 2
  box=$(window_named '^ERROR$')
  [ -z "$box" ] || { press "$box" Return; wait_gone "$box"; }
  press "$main" Escape
done
wait_exit 1 "after Escape with no data"
missing=画像ファイルを読み込めません$'\n\n'Data
python3 "$here/box_texts.py" "$work/empty.wine.log" "$missing\\opening\\op0010.v" \
  "$missing\\taiken\\tik011.v" "$missing\\taiken\\tik012.v" --then "$missing\\" || exit 1
ok "missing pictures: ERROR boxes closed by Return, the intro went on, Escape ended it with 0"

# --- 4. DirectDraw cannot set the mode ----------------------------------------
# The desktop process of a Wine session belongs to one X screen: a new session
# for the other screen.
stop_wine
export DISPLAY=$display.1
mkdir -p "$work/small"
ln -s "$demo/Data" "$work/small/Data"
start_exe "$work/small" -all,+msgbox
captions=$(close_boxes 60 4)
wait_exit 30 "after its set-up failed"
# The Linux build with the same failure injected shows the boxes to expect:
# "SetDisplayMode FAILED", then "DirectDrawCreate FAILD", both "ERROR".
"$kaze" --headless --data "$demo" --fault IDirectDraw::SetDisplayMode=0x80004001 \
  --trace "$work/small.jsonl" --until 5000 >"$work/small.headless.log" 2>&1 ||
  fail "the headless run with SetDisplayMode failing failed: $(tail -n 1 "$work/small.headless.log")"
python3 "$here/box_texts.py" "$work/small.wine.log" --trace "$work/small.jsonl" "$captions" || exit 1
ok "no 640x480 mode: the boxes of the headless build's SetDisplayMode failure, in order, then exit code 0"

stop_wine
echo "win: all checks passed in $((SECONDS - started)) s"
