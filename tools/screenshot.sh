#!/usr/bin/env bash
# Runs a program on the current X display, waits for its 1000 x 605 main
# window (the device query runs before the window is shown), saves a PNG of
# it and ends the program. Usage: screenshot.sh PROGRAM OUTPUT.png
set -euo pipefail
program=$1
shot=$2
"$program" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

window=
for _ in $(seq 1 200); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/ 1000x605\+/ {print $1; exit}')
  [ -n "$window" ] && break
  kill -0 $pid 2>/dev/null || { echo "the program ended before showing its window" >&2; exit 1; }
  sleep 0.05
done
[ -n "$window" ] || { echo "no main window appeared" >&2; exit 1; }
sleep 0.5   # let the first paint land
mkdir -p "$(dirname "$shot")"
import -window "$window" "$shot"
echo "$shot"
