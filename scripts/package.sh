#!/usr/bin/env bash
# Builds the Debian package: the optimised build in build/release (shared with the benchmarks,
# which it compiles too, so they never go stale), packed by CPack (dependencies from
# dpkg-shlibdeps), then checked by lintian, which must find no errors. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
scripts/deps.sh package >&2
build_release >&2
build=build/release
rm -f "$build"/keyscholar_*.deb
(cd "$build" && cpack -G DEB >&2)
deb=$(ls "$build"/keyscholar_*.deb)
# Errors fail the build; warnings are shown.
lintian --fail-on error "$deb" >&2
echo "$deb"
