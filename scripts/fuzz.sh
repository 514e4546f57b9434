#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer, in build/fuzz)
# and runs each for SECONDS (default 600) from its committed corpus, fuzz/corpus/<target>. New
# inputs are kept in build/fuzz/corpus/<target> for the next run; a crash, hang, leak or
# undefined behaviour stops that target and leaves its input in build/fuzz/findings/. The test
# command runs this for a few seconds a target.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
scripts/deps.sh fuzz
seconds=${1:-600}
shift || true
build=build/fuzz
configure_build "$build" -DCMAKE_CXX_COMPILER=clang++ -DKS_FUZZ=ON -DKS_BUILD_TESTS=OFF \
  -DKS_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
cmake --build "$build" --target fuzz_targets

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$build/findings" "$build/logs"
failed=()
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  log="$build/logs/$t.log"
  if "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$t-" \
      "$build/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$t: ${runs:-?} inputs in ${seconds} s, no finding"
  else
    echo "fuzz_$t: FINDING (log: $log)"
    grep -E "ERROR|SUMMARY|runtime error|Test unit written" "$log" | head -20 || true
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets with findings: ${failed[*]}"
  exit 1
fi
