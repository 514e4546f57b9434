#!/usr/bin/env bash
# Runs a command in a D-Bus session of its own with an accessibility bus, as a desktop runs one
# for screen readers; Qt offers its controls there without being asked.
set -uo pipefail
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "at-spi2-core is missing"; exit 1; }
if [ -z "${KS_IN_A11Y_SESSION:-}" ]; then
  exec env KS_IN_A11Y_SESSION=1 dbus-run-session -- bash "$0" "$@"
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
trap 'kill "$launcher" 2>/dev/null; wait "$launcher" 2>/dev/null' EXIT
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1 && break
  sleep 0.1
done
"$@"
