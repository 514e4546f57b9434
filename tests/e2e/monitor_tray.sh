#!/usr/bin/env bash
# tapwatch as a tray program beside the tutor: started with /AUTOLOGON it logs the last learner
# on and shows its icon in the tray; a click opens its menu. The tutor started on the same
# learner gets the learner's files only after tapwatch has saved and closed them; when the tutor
# ends, tapwatch takes the learner back and goes on counting; kill -TERM saves.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
tray= mon= probe=
trap 'for p in $pid $mon $probe $tray; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
fail() { echo "monitor_tray: $*"; cat "$work/mon" "$out" 2>/dev/null; exit 1; }
info() { "$bin/learnerinfo" Ann "$@"; }

login=$(id -un)
mkdir -p "$data"
printf 'SidewatchInit.%s=1\r\nLastUser.%s=Ann\r\n' "$login" "$login" >"$data/LAB1.wks"

trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
  --transparent false --expand false >/dev/null 2>&1 &
tray=$!
sleep 1
QT_QPA_PLATFORM=xcb "$bin/typingprobe" window >"$work/probe" 2>&1 &
probe=$!
pwin=$(wait_window "$probe") || fail "no probe window"

QT_QPA_PLATFORM=xcb "$bin/tapwatch" /AUTOLOGON >"$work/mon" 2>&1 &
mon=$!
for _ in $(seq 100); do [ -f "$data/Ann.SET" ] && break; sleep 0.1; done
[ -f "$data/Ann.SET" ] || fail "the last learner was not logged on"
icon=
for _ in $(seq 50); do
  icon=$(xdotool search --onlyvisible --pid "$mon" 2>/dev/null | head -n 1 || true)
  [ -n "$icon" ] && break
  sleep 0.1
done
[ -n "$icon" ] || fail "no icon in the tray"
read -r iw ih < <(xdotool getwindowgeometry "$icon" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
[ "$iw" -le 48 ] && [ "$ih" -le 48 ] || fail "the icon is not in the tray: ${iw}x${ih}"
shot monitor_tray_icon

xdotool mousemove --window "$icon" 5 5 click 1
menu=
for _ in $(seq 30); do
  menu=$(xdotool search --onlyvisible --pid "$mon" 2>/dev/null | grep -vx "$icon" | head -n 1 || true)
  [ -n "$menu" ] && break
  sleep 0.1
done
[ -n "$menu" ] || fail "a click on the icon opened no menu"
shot monitor_tray_menu
xdotool key Escape
sleep 0.5

xdotool windowfocus --sync "$pwin"
xdotool type --delay 100 "hello world"
sleep 1

# The tutor on the same learner: tapwatch saves and lets go before the tutor opens the files.
start_tutor "$out"
login Ann
info monitoredHits | grep -qx "monitoredHits=11" || fail "tapwatch had not saved: $(info monitoredHits)"
no_boxes "$pid" || fail "the tutor could not have the learner"
quit_tutor "$out" || fail "the tutor did not end"

# Back with tapwatch: it counts on in the same learner, and saves when it is killed.
sleep 2
xdotool windowfocus --sync "$pwin"
xdotool type --delay 100 "abc"
sleep 1
kill -TERM "$mon"
wait_exit "$mon" 20
mon=
[ "$EXIT_STATUS" = 0 ] || fail "tapwatch ended with $EXIT_STATUS"
info monitoredHits | grep -qx "monitoredHits=14" || fail "not saved at the end: $(info monitoredHits)"
echo "monitor_tray: ok"
