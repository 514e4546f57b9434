#!/usr/bin/env bash
# Runs a command inside a headless sway session, as xvfb-run does for X11: WAYLAND_DISPLAY and
# SWAYSOCK name the compositor's sockets by absolute path, so that programs of any user reach
# them. Sway refuses to run as root; then it runs as the user "ks-sway", made here when missing.
# Where sway cannot start at all (not installed, or a machine that does not let it), this says
# so and ends with 0 without running the command: the tier is skipped, not failed.
set -euo pipefail
command -v sway >/dev/null || { echo "with_sway: sway is not installed; skipped: $*"; exit 0; }
run=$(mktemp -d /tmp/ks-sway.XXXXXX)
cat >"$run/config" <<'CONFIG'
output HEADLESS-1 resolution 1280x1024
# Windows keep the size they ask for, as on a desktop with floating windows.
for_window [title=".*"] floating enable
CONFIG
as=()
if [ "$(id -u)" = 0 ]; then
  user=ks-sway
  id "$user" >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
  chown "$user:" "$run"
  as=(setpriv --reuid="$user" --regid="$user" --clear-groups)
fi
chmod 700 "$run"
chmod 644 "$run/config"
"${as[@]}" env -i PATH="$PATH" HOME="$run" XDG_RUNTIME_DIR="$run" WLR_BACKENDS=headless \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$run/config" >"$run/sway.log" 2>&1 &
sway_pid=$!
trap 'kill "$sway_pid" 2>/dev/null; wait "$sway_pid" 2>/dev/null; rm -rf "$run"' EXIT
display="" ipc=""
for _ in $(seq 100); do
  display=$(find "$run" -maxdepth 1 -name 'wayland-[0-9]*' ! -name '*.lock' | head -n 1)
  ipc=$(find "$run" -maxdepth 1 -name 'sway-ipc.*.sock' | head -n 1)
  [ -n "$display" ] && [ -n "$ipc" ] && break
  kill -0 "$sway_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$display" ] || [ -z "$ipc" ]; then
  echo "with_sway: sway did not start here; skipped: $*"
  tail -n 20 "$run/sway.log"
  exit 0
fi
export WAYLAND_DISPLAY=$display SWAYSOCK=$ipc
unset DISPLAY
status=0
"$@" || status=$?
exit "$status"
