#!/usr/bin/env bash
# Builds the optimised build (build/release) and runs every benchmark: the engine and store figures,
# the scale of a large data folder, keystroke to pixels (offscreen) and start-up (under Xvfb when
# there is no display). Not part of the test run: the figures go into README's "Performance".
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
scripts/deps.sh test
build_release
build=build/release
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
fi

for b in bench_engine bench_store bench_scale; do
  [ -x "$build/bin/$b" ] && "$build/bin/$b"
done
[ -x "$build/bin/bench_keystroke" ] && QT_QPA_PLATFORM=offscreen "$build/bin/bench_keystroke"
[ -x "$build/bin/bench_gameframe" ] && QT_QPA_PLATFORM=offscreen "$build/bin/bench_gameframe"
for b in bench_startup bench_monitor bench_xlatency; do
  if [ -n "${DISPLAY:-}" ]; then
    "$build/bin/$b"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" "$build/bin/$b"
  fi
done
