#!/usr/bin/env bash
# Builds the project and saves a picture of each service-mode page under docs/ (and in English under docs/en/),
# taken from the window running against the emulated device.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSEL_BUILD_DIR:-$root/build}
"$root/tools/deps.sh"
TESSEL_BUILD_DIR=$build "$root/tools/build.sh"
cd "$build/bin"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} ./tessel-service-screenshots "$root/docs"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} ./tessel-service-screenshots "$root/docs" en
