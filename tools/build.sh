#!/usr/bin/env bash
# Configures and builds the project into build/ (Release by default).
# Arguments are handed to the configure step, e.g. -DCMAKE_CXX_FLAGS=….
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSEL_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${TESSEL_BUILD_TYPE:-Release}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
