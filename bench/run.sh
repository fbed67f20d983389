#!/usr/bin/env bash
# Builds the project and runs every benchmark, printing their figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSEL_BUILD_DIR:-$root/build}
"$root/tools/deps.sh"
TESSEL_BUILD_DIR=$build "$root/tools/build.sh"
cd "$build/bin"
# The benchmarks' jobs go into a service history of their own, not the user's.
export TESSEL_HISTORY_FILE=${TESSEL_HISTORY_FILE:-$build/bench-history.sqlite}
# Figures depend on what else the machine is doing.
echo "== machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for bench in ./bench_*; do
  [ -x "$bench" ] || continue
  echo "== ${bench#./}"
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench"
done
echo "== startup.sh"
TESSEL_BUILD_DIR=$build "$root/bench/startup.sh"
echo "== idle.sh"
TESSEL_BUILD_DIR=$build "$root/bench/idle.sh"
