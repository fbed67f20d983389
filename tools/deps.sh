#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and tools/run need, when
# any is missing. Safe to run again; never asks questions.
# Usage: tools/deps.sh [--fuzz] [--package]
set -euo pipefail

packages=(cmake g++ make pkg-config qtbase5-dev qtbase5-dev-tools qttools5-dev-tools libqt5charts5-dev libhidapi-dev
          xvfb xauth x11-utils imagemagick fonts-dejavu-core fonts-wqy-microhei)
# --fuzz: clang and its runtime libraries, for the libFuzzer builds of bench/fuzz.sh.
# --package: dpkg-shlibdeps for the Depends line, lintian and the file type checks it runs.
for arg in "$@"; do
  case $arg in
    --fuzz) packages+=(clang libclang-rt-dev) ;;
    --package) packages+=(dpkg-dev lintian file) ;;
    *) echo "usage: tools/deps.sh [--fuzz] [--package]" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
