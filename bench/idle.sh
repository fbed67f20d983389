#!/usr/bin/env bash
# Processor time of the idle program over one minute, its window shown and no
# device attached: the device watch's looks and everything else the window
# does while nobody touches it. Runs tessel-control (the system's hidapi) and
# tessel-control-emulated under Xvfb when there is no display.
# Usage: bench/idle.sh [seconds]   (build first: tools/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
bin=${TESSEL_BUILD_DIR:-$root/build}/bin

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$seconds"
fi

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
cd "$bin"
for program in tessel-control tessel-control-emulated; do
  "./$program" >/dev/null 2>&1 &
  pid=$!
  until xwininfo -root -tree 2>/dev/null | grep -q ' 1000x605+'; do
    kill -0 $pid 2>/dev/null || { echo "$program ended before showing its window" >&2; exit 1; }
    sleep 0.05
  done
  sleep 2   # start-up done
  before=$(ticks $pid)
  sleep "$seconds"
  after=$(ticks $pid)
  kill $pid; wait $pid 2>/dev/null || true
  ms=$(( (after - before) * 1000 / hz ))
  echo "$program: ${ms} ms processor time in ${seconds} s idle ($(( ms * 60 / seconds )) ms per minute)"
done
