#!/usr/bin/env bash
# Builds the project and saves before-and-after pictures of a photo in the
# image editor under docs/ (pictures-*.png), taken from the window running
# against the emulated device. The photo is ImageMagick's built-in rose.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSEL_BUILD_DIR:-$root/build}
"$root/tools/deps.sh"
TESSEL_BUILD_DIR=$build "$root/tools/build.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
convert rose: -resize 400x300 "$scratch/photo.png"
cd "$build/bin"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} ./tessel-picture-screenshots "$scratch/photo.png" "$root/docs"
