#!/usr/bin/env bash
# Makes kaze-<version>-windows.zip, what a Windows player unzips and plays:
#   kaze-<version>/kaze.exe     the native build (build/win), runtimes linked in
#   kaze-<version>/Data/        the demo data set, made by the Linux build
#   kaze-<version>/README.txt   dist/windows/README.txt for the player, CRLF
#   kaze-<version>/LICENSE.txt  LICENSE, CRLF
# One top folder, so that unpacking anywhere never mixes with (or replaces)
# a README.txt or Data folder the player already has there.
#
# usage: scripts/make-windows-zip.sh [OUTDIR]
# OUTDIR defaults to build/dist, a folder of the build's: a zip of the same
# name there is a build product and is replaced. In an OUTDIR given
# explicitly, an existing file of that name is replaced only when it is a
# zip this script made (its zip comment says so); anything else stays and
# the script fails. The zip is written under a temporary name beside it and
# renamed, so a failed run leaves the old file, never half a new one.
# Two runs of the same sources give the same bytes: fixed file order, modes
# and times (SOURCE_DATE_EPOCH, else the time of the last commit), no
# owner or extra time fields.
#   KAZE_LINUX_BUILD  the Linux build that makes the demo data (default
#                     build/release; configured and built if needed)
# A failure prints one line "make-windows-zip: <file>: <reason>" on stderr
# and exits 1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux_build=${KAZE_LINUX_BUILD:-$root/build/release}
win_build=$root/build/win
default_out=$root/build/dist
out=${1:-$default_out}

fail() {
  echo "make-windows-zip: $*" >&2
  exit 1
}
trap 'echo "make-windows-zip: line $LINENO failed: $BASH_COMMAND" >&2' ERR

# try FILE COMMAND...: runs the command; on failure names FILE and the
# command's last line of complaint.
try() {
  local file=$1 err
  shift
  err=$("$@" 2>&1 >/dev/null) || fail "$file: ${err##*$'\n'}"
}

for tool in x86_64-w64-mingw32-g++ x86_64-w64-mingw32-objdump zip unzip cmake ninja; do
  command -v "$tool" >/dev/null || fail "$tool: missing (scripts/install-deps.sh windows installs it)"
done

# --- the builds, as tests/windows/run-win-tests.sh makes them -----------------
mkdir -p "$win_build" || fail "$win_build: cannot create the folder"
{ cmake -S "$root" -B "$win_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" &&
    cmake --build "$win_build" --target kaze; } >"$win_build/win-build.log" 2>&1 ||
  fail "$win_build/win-build.log: the Windows build failed"
exe=$win_build/src/kaze.exe
[ -f "$exe" ] || fail "$exe: the Windows build made no exe"
[ -f "$linux_build/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null ||
  fail "$linux_build: cannot configure the Linux build"
cmake --build "$linux_build" --target demo-data >"$win_build/linux-build.log" 2>&1 ||
  fail "$win_build/linux-build.log: the demo data set was not made"
data=$linux_build/demo/Data
[ -d "$data" ] || fail "$data: no demo data set"

# The version the build was configured with, from the root project().
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win_build/CMakeCache.txt")
[[ $version =~ ^[0-9]+(\.[0-9]+)*$ ]] || fail "$win_build/CMakeCache.txt: no project version in it"
name=kaze-$version-windows.zip
mark="$name, made by scripts/make-windows-zip.sh"

# A player's Windows has only its own DLLs: an exe that needs another one
# (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll when the
# runtimes are not linked in) would not start there.
headers=$(x86_64-w64-mingw32-objdump -p "$exe") || fail "$exe: objdump cannot read it"
while read -r dll; do
  case ${dll,,} in
    kernel32.dll | user32.dll | gdi32.dll | ddraw.dll | dsound.dll | winmm.dll | msvcrt.dll | advapi32.dll) ;;
    *) fail "$exe: imports $dll, which is not a Windows system DLL" ;;
  esac
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

# --- where the zip goes ----------------------------------------------------
zip_path=$out/$name
try "$out" mkdir -p "$out"
if [ -e "$zip_path" ] || [ -L "$zip_path" ]; then
  [ -f "$zip_path" ] && [ ! -L "$zip_path" ] || fail "$zip_path: is there and is not a file; not replaced"
  if [ "$(realpath -m "$out")" != "$(realpath -m "$default_out")" ] &&
    [ "$(unzip -z -qq "$zip_path" 2>/dev/null)" != "$mark" ]; then
    fail "$zip_path: is there and was not made by this script; not replaced"
  fi
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kaze-zip.XXXXXX") || fail "${TMPDIR:-/tmp}: cannot make a temporary folder"
partial=""
cleanup() {
  [ -n "$partial" ] && rm -f "$partial"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# --- the folder as the player gets it ------------------------------------------
top=kaze-$version
stage=$work/$top
crlf() { sed 's/\r$//; s/$/\r/' "$@"; }
try "$stage" mkdir -p "$stage"
try "$stage/kaze.exe" cp "$exe" "$stage/kaze.exe"
try "$stage/Data" cp -R -L "$data" "$stage/Data"
# The demo maker's own list of what it wrote there is no part of the story.
try "$stage/Data" rm -f "$stage/Data/.make-demo-data"
crlf "$root/dist/windows/README.txt" | sed "s/@VERSION@/$version/g" >"$stage/README.txt" ||
  fail "$stage/README.txt: cannot write it"
crlf "$root/LICENSE" >"$stage/LICENSE.txt" || fail "$stage/LICENSE.txt: cannot write it"

# Fixed modes and times, so that the bytes depend on the sources alone.
when=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}
try "$stage" find "$stage" -type d -exec chmod 755 {} +
try "$stage" find "$stage" -type f -exec chmod 644 {} +
try "$stage/kaze.exe" chmod 755 "$stage/kaze.exe"
try "$stage" find "$stage" -exec touch -h -d "@$when" {} +

# -X: no owner nor extra time fields; -D: no folder entries (unzipping makes
# them); names in byte order. DOS times are local: TZ=UTC keeps them fixed.
made=$work/$name
(cd "$work" && find "$top" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q -9 "$made" -@) >"$work/zip.log" 2>&1 ||
  fail "$made: zip failed: $(tail -n 1 "$work/zip.log")"
echo "$mark" | zip -z -q "$made" >"$work/zip.log" 2>&1 || fail "$made: cannot set its comment: $(tail -n 1 "$work/zip.log")"

# --- in place ---------------------------------------------------------------------
partial=$(mktemp "$out/.$name.XXXXXX" 2>/dev/null) || fail "$out: cannot write a file there"
try "$partial" cp "$made" "$partial"
try "$partial" chmod 644 "$partial"
try "$zip_path" mv -f "$partial" "$zip_path"
partial=""
count=$(find "$stage" -type f | wc -l)
echo "make-windows-zip: wrote $zip_path ($count files, $(($(stat -c %s "$zip_path") / 1024)) KiB)"
