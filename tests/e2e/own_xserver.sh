#!/usr/bin/env bash
# Runs a command on an X server of its own (Xvfb, 1280 x 1024), so that end-to-end scripts run
# side by side: each changes keyboard groups, focus and trays only on its own screen. The server
# picks a free display itself (-displayfd), which leaves no race between two scripts starting.
set -uo pipefail
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" \
  >"$dir/log" 2>&1 &
xpid=$!
trap 'kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; rm -rf "$dir"' EXIT
# A loaded machine can take seconds to bring a server up.
for _ in $(seq 300); do [ -s "$dir/display" ] && break; sleep 0.1; done
[ -s "$dir/display" ] || { echo "Xvfb did not start:"; cat "$dir/log"; exit 1; }
export DISPLAY=:$(head -n 1 "$dir/display")
unset WAYLAND_DISPLAY
for _ in $(seq 300); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
"$@"
status=$?
exit "$status"
