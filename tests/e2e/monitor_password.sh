#!/usr/bin/env bash
# Under X11 too, a password field is never analysed: the monitor watches typing in a window of
# this test with a text field and a password field, and the accessibility bus tells it which one
# has the focus. The text reaches the learner's figures; the secret is counted, never analysed,
# and appears nowhere on disk.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
own_session_bus "$@"
script_home
fail() { echo "monitor password: $*"; cat "$out" 2>/dev/null; exit 1; }
accessibility_bus
trap 'for p in $pid ${PROBE_PID:-} $bus; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT

login=$(id -un)
mkdir -p "$data"
printf 'SidewatchInit.%s=1\r\nUseSelectedUser.%s=1\r\nSelectedUser.%s=Ann\r\n' "$login" "$login" \
  "$login" >"$data/LAB1.wks"

coproc PROBE { exec env QT_QPA_PLATFORM=xcb "$bin/typingprobe" fields 2>/dev/null; }
win=$(wait_window "$PROBE_PID") || fail "no probe window"
xdotool windowfocus --sync "$win"
focus() {
  local answer=""
  echo "$1" >&"${PROBE[1]}"
  read -r -t 10 answer <&"${PROBE[0]}" || true
  [ "$answer" = "focus $1" ] || fail "the probe did not focus its $1 field: $answer"
  sleep 1.5  # the accessibility bus tells the monitor
}

"$bin/tapwatch" >"$out" 2>&1 &
pid=$!
for _ in $(seq 100); do [ -f "$data/Ann.SET" ] && break; sleep 0.1; done
[ -f "$data/Ann.SET" ] || fail "the learner was not logged on"
sleep 1

focus text
xdotool type --delay 120 "hello world"
secret=qjvkxp
focus password
xdotool type --delay 120 "$secret"
focus text
xdotool type --delay 120 "ab"
sleep 1

monitor_kept_secret "$secret"
echo "monitor password: ok"
