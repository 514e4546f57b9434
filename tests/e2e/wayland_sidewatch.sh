#!/usr/bin/env bash
# Sidewatch under a Wayland compositor: the keys come from a recorded stream of the kernel's key
# events (a named pipe in place of the keyboard device), the focused program from sway, and
# password fields from the accessibility bus. Text typed into a window of this test reaches the
# learner's figures; a secret typed into its password field is counted, never analysed, and
# appears nowhere on disk.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
own_session_bus "$@"
. "$(dirname "$0")/wayland_lib.sh"
script_home
fail() { echo "wayland sidewatch: $*"; cat "$out" 2>/dev/null; exit 1; }
accessibility_bus
plug_keyboard us
trap 'for p in $pid ${PROBE_PID:-} $VKEYBOARD_PID $bus; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT

login=$(id -un)
mkdir -p "$data"
printf 'SidewatchInit.%s=1\r\nUseSelectedUser.%s=1\r\nSelectedUser.%s=Ann\r\n' "$login" "$login" \
  "$login" >"$data/LAB1.wks"

coproc PROBE { exec env QT_QPA_PLATFORM=wayland "$bin/typingprobe" fields 2>/dev/null; }
win=$(wait_window "$PROBE_PID") || fail "no probe window"
xdotool windowfocus "$win"
focus() {
  local answer=""
  echo "$1" >&"${PROBE[1]}"
  read -r -t 10 answer <&"${PROBE[0]}" || true
  [ "$answer" = "focus $1" ] || fail "the probe did not focus its $1 field: $answer"
  sleep 1.5  # the accessibility bus tells the monitor
}

# The kernel's key events for text on a US keyboard: press and release, 80 ms apart.
keys=$work/keys
mkfifo "$keys"
record() {
  python3 - "$1" >"$keys" <<'PY'
import struct, sys, time
codes = {c: k for k, c in enumerate("1234567890", 2)}
codes.update({c: k for k, c in enumerate("qwertyuiop", 16)})
codes.update({c: k for k, c in enumerate("asdfghjkl", 30)})
codes.update({c: k for k, c in enumerate("zxcvbnm", 44)})
codes[" "] = 57
out = sys.stdout.buffer
for ch in sys.argv[1]:
    for value in (1, 0):
        t = time.time()
        out.write(struct.pack("llHHi", int(t), int(t % 1 * 1e6), 1, codes[ch], value))
        out.write(struct.pack("llHHi", int(t), int(t % 1 * 1e6), 0, 0, 0))
        out.flush()
        time.sleep(0.08)
PY
}

TAPWATCH_KEY_STREAM=$keys env -u QT_QPA_PLATFORM "$bin/tapwatch" >"$out" 2>&1 &
pid=$!
for _ in $(seq 100); do [ -f "$data/Ann.SET" ] && break; sleep 0.1; done
[ -f "$data/Ann.SET" ] || fail "the learner was not logged on"
sleep 1

focus text
record "hello world"
secret=qjvkxp
focus password
record "$secret"
focus text
record "ab"
sleep 1

monitor_kept_secret "$secret"
echo "wayland sidewatch: ok"
