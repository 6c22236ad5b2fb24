#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need.
# Only what is missing is installed; nothing is downloaded from elsewhere.
set -euo pipefail

packages=(
  cmake ninja-build pkg-config g++ clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev libsdl2-dev libpixman-1-dev libasound2-dev libsoxr-dev
  libfreetype-dev libharfbuzz-dev fonts-dejavu-core fonts-ipafont-mincho
  xvfb xauth xdotool xfonts-base imagemagick
  wine wine64 libgl1-mesa-dri x11-apps x11-utils python3
  man-db groff-base desktop-file-utils appstream
  g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
  emscripten chromium
)
# The browser build and its tests run on Node 18 or later; a node that is
# already here (from Debian or elsewhere) is used as it is.
command -v node >/dev/null || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
