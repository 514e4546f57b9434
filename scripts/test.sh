#!/usr/bin/env bash
# Builds the test build (AddressSanitizer + UndefinedBehaviorSanitizer) and runs every tier:
# core and widget tests headless, the fuzz targets briefly, the X11 tests (each end-to-end script
# on an X server of its own, several at once), the Wayland tests under one headless sway, one at a
# time, then the Debian package. Prints each tier's time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib.sh

times=()
# Runs tier $1 (the rest: its command) and notes how long it took.
tier() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  times+=("$(printf '%-8s %5d s' "$name" $((SECONDS - start)))")
}
report_times() {
  [ ${#times[@]} -gt 0 ] || return 0
  echo "== Time per tier"
  printf '%s\n' "${times[@]}"
}
trap report_times EXIT

build=build/test
build_tests() {
  scripts/deps.sh test
  # The benchmarks are compiled by the optimised build (the package's), not here.
  configure_build "$build" -DCMAKE_BUILD_TYPE=Debug -DKS_SANITIZE=ON -DKS_BUILD_BENCH=OFF
  cmake --build "$build"
}
# Test discovery must never need a display.
export QT_QPA_PLATFORM=offscreen
tier build build_tests

if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
fi
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

tier core ctest --test-dir "$build" -LE 'x11|wayland' --output-on-failure -j"$(nproc)"
# Every file parser, from its committed corpus and for a few seconds more (clang, build/fuzz).
tier fuzz scripts/fuzz.sh 4
# The end-to-end scripts mostly wait for windows and typing, so more run at once than there are
# cores. The few test programs that need the shared server below take turns on it.
# Now and then the leak checker's own tracer crashes while it stops a GUI program's threads at
# exit (a sanitizer fault, "Tracer caught signal 11"): an X11 test that fails runs once more, and
# a real fault fails both times.
tier x11 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" \
  env QT_QPA_PLATFORM=xcb ctest --test-dir "$build" -L x11 --output-on-failure \
  -j"${KS_X11_JOBS:-$(($(nproc) + 1))}" --repeat until-pass:2
# Natively under Wayland: sway without screens or input devices (the tests plug in keyboards of
# their own), grim for pictures. Skipped, with a note, where sway cannot start. Qt's Wayland
# plugins keep objects until the end; the leak checker needs whole stacks to tell them (their
# own frames have no frame pointers).
tier wayland env ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0" tests/with_sway.sh \
  ctest --test-dir "$build" -L wayland --output-on-failure -j1 --repeat until-pass:2
# Last, the Debian package: the optimised build, which also compiles the benchmarks.
tier package tests/package.sh
