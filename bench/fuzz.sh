#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) against clang's libFuzzer in build-fuzz/, with
# AddressSanitizer and UndefinedBehaviorSanitizer and every report fatal, and
# runs each target for the given seconds, printing its executions. New inputs
# go to build-fuzz/corpus/<target>/, inputs that break a target to
# build-fuzz/crashes/ (add them to fuzz/corpus/<target>/ once fixed).
# Without clang the targets get the plain random driver instead.
#
# Usage: bench/fuzz.sh [seconds [target...]]   default 60 s, every target;
#        seconds 0 replays the committed corpora only (what .ci/run does).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=${TESSEL_FUZZ_BUILD_DIR:-${TESSEL_BUILD_DIR:-$root/build}-fuzz}
"$root/tools/deps.sh" --fuzz

flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
if command -v clang++ >/dev/null; then
  compiler=clang++ libfuzzer=ON flags="-fsanitize=fuzzer-no-link,${flags#-fsanitize=}"
else
  compiler=c++ libfuzzer=OFF
  echo "no clang: the targets run with the plain random driver" >&2
fi
cmake -S "$root" -B "$build" -DTESSEL_QT=5 -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSEL_LIBFUZZER=$libfuzzer -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" --target tessel_fuzz_targets -j"$(nproc)"

targets=("$@")
if ((${#targets[@]} == 0)); then
  for exe in "$build"/bin/fuzz_*; do targets+=("${exe##*/fuzz_}"); done
fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
# Qt's own leaks, the same list as the sanitizer suite (tools/lsan.supp says why);
# full allocation stacks, so that the entries can name frames inside Qt.
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/logs" "$build/crashes"
failed=0
for target in "${targets[@]}"; do
  exe=$build/bin/fuzz_$target
  seeds=$root/fuzz/corpus/$target
  log=$build/logs/$target.log
  if [ "$seconds" = 0 ]; then
    args=(-runs=0 -print_final_stats=1 "$seeds")
  else
    mkdir -p "$build/corpus/$target"
    args=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/crashes/$target-"
          "$build/corpus/$target" "$seeds")
  fi
  if "$exe" "${args[@]}" >"$log" 2>&1; then
    status=ok
  else
    status="FAILED (see $log)"
    failed=1
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  printf '%-16s %12s executions in %s s  %s\n' "$target" "${executions:-?}" "$seconds" "$status"
done
exit $failed
