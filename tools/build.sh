#!/usr/bin/env bash
# Configures and builds the project (Release by default): with Qt 5 into
# build/, with Qt 6 (TESSEL_QT=6) into build-qt6/; $TESSEL_BUILD_DIR names
# another folder. Arguments are handed to the configure step, e.g.
# -DCMAKE_CXX_FLAGS=….
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
qt=${TESSEL_QT:-5}
case $qt in
  5) default_build=$root/build ;;
  6) default_build=$root/build-qt6 ;;
  *) echo "tools/build.sh: TESSEL_QT must be 5 or 6" >&2; exit 2 ;;
esac
build=${TESSEL_BUILD_DIR:-$default_build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${TESSEL_BUILD_TYPE:-Release}" -DTESSEL_QT="$qt" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
