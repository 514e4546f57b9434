#!/usr/bin/env bash
# The monitor watches typing in a window of this test, and the counts reach the learner's file.
# Then a helper grabs the keyboard, as a lock screen does, another program asks for the grab in
# vain, and a secret is typed; then another under a grab through XInput 2. They are counted, not
# analysed, and appear nowhere under the data folder, the logs or the runtime folder.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
probe= grabber=
trap 'for p in $pid $probe $grabber; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
fail() { echo "monitor: $*"; cat "$out" 2>/dev/null; exit 1; }

login=$(id -un)
mkdir -p "$data"
printf 'SidewatchInit.%s=1\r\nUseSelectedUser.%s=1\r\nSelectedUser.%s=Ann\r\n' "$login" "$login" \
  "$login" >"$data/LAB1.wks"

QT_QPA_PLATFORM=xcb "$bin/typingprobe" window >"$work/probe" 2>&1 &
probe=$!
win=$(wait_window "$probe") || fail "no probe window"
xdotool windowfocus --sync "$win"

"$bin/tapwatch" >"$out" 2>&1 &
pid=$!
for _ in $(seq 100); do [ -f "$data/Ann.SET" ] && break; sleep 0.1; done
[ -f "$data/Ann.SET" ] || fail "the learner was not logged on"
sleep 1

xdotool type --delay 120 "hello world"
xdotool key Left
xdotool click 1
sleep 1

secret=zqjvkx
"$bin/typingprobe" grab >"$work/grab" 2>&1 &
grabber=$!
for _ in $(seq 50); do grep -q grabbed "$work/grab" && break; sleep 0.1; done
grep -q grabbed "$work/grab" || fail "the helper could not grab the keyboard"
# Another program asks for the grab in vain and ends: the first one still holds it.
"$bin/typingprobe" trygrab >"$work/trygrab" 2>&1
grep -q refused "$work/trygrab" || fail "the second grab was not refused: $(cat "$work/trygrab")"
sleep 0.5
xdotool type --delay 120 "$secret"
sleep 1
kill "$grabber"
grabber=
# The same under a grab through XInput 2, as a toolkit's menu or password prompt holds it.
secret2=bmgyfu
"$bin/typingprobe" xi2grab >"$work/grab" 2>&1 &
grabber=$!
for _ in $(seq 50); do grep -q grabbed "$work/grab" && break; sleep 0.1; done
grep -q grabbed "$work/grab" || fail "the helper could not grab the keyboard through XInput 2"
xdotool type --delay 120 "$secret2"
sleep 1
kill "$grabber"
grabber=

kill -TERM "$pid"
wait_exit "$pid" 20
pid=
[ "$EXIT_STATUS" = 0 ] || fail "tapwatch ended with $EXIT_STATUS"

info=$("$bin/learnerinfo" Ann totalHits monitoredHits ArrowHits MouseClicks)
expect() { echo "$info" | grep -qx "$1" || fail "expected $1 in: $info"; }
expect "monitoredHits=11"
expect "totalHits=$((11 + 1 + ${#secret} + ${#secret2}))"
expect "ArrowHits=1"
expect "MouseClicks=1"
echo "$info" | grep -q "^monitorkey l presses=" || fail "typing was not analysed: $info"
for s in "$secret" "$secret2"; do
  for ((i = 0; i < ${#s}; i++)); do
    ! echo "$info" | grep -q "^monitorkey ${s:i:1} " || fail "a key typed under a grab was analysed"
  done
  if grep -rlaF "$s" "$data" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$out" 2>/dev/null; then
    fail "the secret was written"
  fi
done
echo "monitor: ok"
