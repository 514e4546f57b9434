#!/usr/bin/env bash
# Builds the programs and their installation content (build/run) and starts the tutor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build=build/run
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKS_BUILD_TESTS=OFF \
    -DKS_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target keyscholar tapwatch
exec "$build/bin/keyscholar" "$@"
