#!/usr/bin/env bash
# Both programs start and stop cleanly: the tutor's window appears on the X server, quits on
# Ctrl+Q with status 0; the monitor starts and ends; without a display the tutor says so.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT
export HOME=$work XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config

QT_QPA_PLATFORM=xcb "$bin/keyscholar" >"$work/out" 2>&1 &
pid=$!
win=$(wait_window "$pid") || { cat "$work/out"; exit 1; }
sleep 1
no_boxes "$pid" || exit 1
read -r w h < <(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
[ "$w" -ge 780 ] && [ "$h" -ge 550 ] || { echo "window too small: ${w}x${h}"; exit 1; }
xdotool windowfocus --sync "$win"
xdotool key ctrl+q
wait_exit "$pid"; status=$EXIT_STATUS
pid=
[ "$status" = 0 ] || { echo "keyscholar exited with $status"; cat "$work/out"; exit 1; }

# SIGTERM (logout, shutdown) ends the tutor in order, with status 0.
QT_QPA_PLATFORM=xcb "$bin/keyscholar" >"$work/out" 2>&1 &
pid=$!
wait_window "$pid" >/dev/null || { cat "$work/out"; exit 1; }
kill -TERM "$pid"
wait_exit "$pid"; status=$EXIT_STATUS
pid=
[ "$status" = 0 ] || { echo "keyscholar exited with $status after SIGTERM"; cat "$work/out"; exit 1; }

"$bin/tapwatch" || { echo "tapwatch failed"; exit 1; }
"$bin/keyscholar" --version | grep -q '^keyscholar [0-9]'

# No display: one clear line, no Qt abort.
set +e
msg=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/keyscholar" 2>&1)
status=$?
set -e
[ "$status" -eq 1 ] || { echo "expected status 1 without display, got $status"; exit 1; }
[ "$(echo "$msg" | wc -l)" -eq 1 ] && echo "$msg" | grep -q "no display" || { echo "$msg"; exit 1; }
echo "start-stop: ok"
