#!/usr/bin/env bash
# Start-up time of tessel-control-emulated: from launching the process to its
# main window being mapped on an X display (the device query runs before the
# window is shown, so it is included). Prints every run and the median.
# Usage: bench/startup.sh [runs]   (build first: tools/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
bin=${TESSEL_BUILD_DIR:-$root/build}/bin

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$runs"
fi

cd "$bin"
times=()
for i in $(seq 1 "$runs"); do
  start=$(date +%s%N)
  ./tessel-control-emulated &
  pid=$!
  until xwininfo -root -tree 2>/dev/null | grep -q ' 1000x605+'; do
    kill -0 $pid 2>/dev/null || { echo "the program ended before showing its window" >&2; exit 1; }
  done
  end=$(date +%s%N)
  kill $pid; wait $pid 2>/dev/null || true
  ms=$(( (end - start) / 1000000 ))
  times+=("$ms")
  echo "run $i: ${ms} ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "median start-up to shown window: ${median} ms over $runs runs"
