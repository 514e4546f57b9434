#!/usr/bin/env bash
# Builds the programs and their installation content (build/run) and starts the tutor.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
scripts/deps.sh
build=build/run
configure_build "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKS_BUILD_TESTS=OFF \
  -DKS_BUILD_BENCH=OFF
cmake --build "$build" --target keyscholar tapwatch
exec "$build/bin/keyscholar" "$@"
