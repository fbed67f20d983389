#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and tools/run need, when
# any is missing. Safe to run again; never asks questions.
# Usage: tools/deps.sh [--qt5|--qt6] [--fuzz] [--package]
#   --qt5, --qt6   the Qt to build with (default: $TESSEL_QT, else 5, as tools/build.sh), with its
#                  tools (lrelease, lupdate) and Qt's own translations
set -euo pipefail

usage() { echo "usage: tools/deps.sh [--qt5|--qt6] [--fuzz] [--package]" >&2; exit 2; }
qt=${TESSEL_QT:-5}
packages=(cmake g++ make pkg-config libhidapi-dev
          xvfb xauth x11-utils imagemagick fonts-dejavu-core fonts-wqy-microhei)
# --fuzz: clang and its runtime libraries, for the libFuzzer builds of bench/fuzz.sh.
# --package: dpkg-shlibdeps for the Depends line, lintian and the file type checks it runs.
for arg in "$@"; do
  case $arg in
    --qt5) qt=5 ;;
    --qt6) qt=6 ;;
    --fuzz) packages+=(clang libclang-rt-dev) ;;
    --package) packages+=(dpkg-dev lintian file) ;;
    *) usage ;;
  esac
done
case $qt in
  5) packages+=(qtbase5-dev qtbase5-dev-tools qttools5-dev-tools libqt5charts5-dev qttranslations5-l10n
                libqt5sql5-sqlite) ;;
  # Qt Charts needs Qt OpenGL's CMake files, which its package does not pull in;
  # the window's platform plugins (xcb) come with qt6-qpa-plugins.
  6) packages+=(qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-l10n-tools
                qt6-qpa-plugins qt6-translations-l10n libqt6sql6-sqlite) ;;
  *) usage ;;
esac
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
