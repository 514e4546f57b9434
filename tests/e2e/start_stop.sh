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

# /IN1 sets this computer up and ends with 0, which installers read as success.
export KEYSCHOLAR_WORKSTATION=LAB9
QT_QPA_PLATFORM=xcb "$bin/keyscholar" /IN1 >"$work/out" 2>&1 || { echo "/IN1 failed"; cat "$work/out"; exit 1; }
[ -f "$XDG_DATA_HOME/Keyscholar8/LAB9.wks" ] || { echo "/IN1 made no workstation file"; exit 1; }

# A school's shared installation under "LimitedInstallation": a computer that was never set up
# is told so even with /IN1, and the start fails.
cp -r "$bin/../share/keyscholar" "$work/school"
printf '[Path]\r\nDataBase=%s\r\n' "$work/shared" >"$work/school/QSNPath.ini"
printf 'LimitedInstallation=1\r\n' >>"$work/school/Policy.dyn"
KEYSCHOLAR_ROOT=$work/school QT_QPA_PLATFORM=xcb "$bin/keyscholar" /IN1 >"$work/out" 2>&1 &
pid=$!
win=$(wait_window "$pid") || { cat "$work/out"; exit 1; }
for _ in $(seq 50); do
  [ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" -ge 2 ] && break
  sleep 0.2
done
[ "$(xdotool search --onlyvisible --pid "$pid" | wc -l)" -ge 2 ] || { echo "no set-up warning"; exit 1; }
for w in $(xdotool search --onlyvisible --pid "$pid"); do [ "$w" != "$win" ] && box=$w; done
xdotool windowfocus --sync "$box" key Return
wait_exit "$pid"; status=$EXIT_STATUS
pid=
[ "$status" = 1 ] || { echo "expected status 1 after the set-up warning, got $status"; exit 1; }
[ ! -e "$work/shared/LAB9.wks" ] || { echo "a workstation file was made"; exit 1; }
unset KEYSCHOLAR_WORKSTATION

# The monitor keeps running until it is told to stop, then ends in order.
export KEYSCHOLAR_WORKSTATION=LAB1
mkdir -p "$XDG_DATA_HOME/Keyscholar8"
printf 'SidewatchInit.%s=1\r\nUseSelectedUser.%s=1\r\nSelectedUser.%s=Ann\r\n' "$(id -un)" "$(id -un)" \
  "$(id -un)" >"$XDG_DATA_HOME/Keyscholar8/LAB1.wks"
"$bin/tapwatch" >"$work/out" 2>&1 &
pid=$!
sleep 2
kill -TERM "$pid"
wait_exit "$pid"; status=$EXIT_STATUS
pid=
[ "$status" = 0 ] || { echo "tapwatch exited with $status"; cat "$work/out"; exit 1; }
unset KEYSCHOLAR_WORKSTATION
"$bin/keyscholar" --version | grep -q '^keyscholar (Quillstroker) [0-9]'

# No display: one clear line, no Qt abort.
set +e
msg=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/keyscholar" 2>&1)
status=$?
set -e
[ "$status" -eq 1 ] || { echo "expected status 1 without display, got $status"; exit 1; }
[ "$(echo "$msg" | wc -l)" -eq 1 ] && echo "$msg" | grep -q "no display" || { echo "$msg"; exit 1; }
echo "start-stop: ok"
