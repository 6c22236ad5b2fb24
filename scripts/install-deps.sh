#!/usr/bin/env bash
# Installs the Debian packages a purpose needs, only those missing; nothing
# is downloaded from elsewhere. The lists are in scripts/packages.sh.
#   scripts/install-deps.sh [play] [test] [windows] [web]   (default: play)
set -euo pipefail
source "$(dirname "$0")/packages.sh"

purposes=("$@")
((${#purposes[@]})) || purposes=(play)
packages=()
for purpose in "${purposes[@]}"; do
  case $purpose in
    play) packages+=("${play_packages[@]}") ;;
    test) packages+=("${test_packages[@]}") ;;
    windows) packages+=("${windows_packages[@]}") ;;
    web) packages+=("${web_packages[@]}") ;;
    *) echo "install-deps.sh: no such purpose '$purpose' (play, test, windows, web)" >&2; exit 2 ;;
  esac
done

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
