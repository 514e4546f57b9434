#!/usr/bin/env bash
# tapwatch as a tray program beside the tutor: started with /AUTOLOGON it logs the last learner
# on and shows its icon in the tray; a click opens its menu. The tutor started on the same
# learner gets the learner's files only after tapwatch has saved and closed them; when the tutor
# ends, tapwatch takes the learner back and goes on counting. It records keys only while it
# watches. "Practise now" in its menu starts the tutor on the learner, handed over through the
# workstation's file; kill -TERM saves.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
tray= mon= probe=
trap 'for p in $pid $mon $probe $tray; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
fail() { echo "monitor_tray: $*"; cat "$work/mon" "$out" 2>/dev/null; exit 1; }
info() { "$bin/learnerinfo" Ann "$@"; }
# Whether tapwatch's recording thread runs.
recording() { grep -qx x11record /proc/"$mon"/task/*/comm 2>/dev/null; }

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
# The icon: tapwatch's small window in the tray (a welcome message may show beside it).
icon=
for _ in $(seq 50); do
  for w in $(xdotool search --onlyvisible --pid "$mon" 2>/dev/null); do
    geo=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p' || true)
    [[ $geo =~ ^([0-9]+)x([0-9]+)$ ]] || continue
    [ "${BASH_REMATCH[1]}" -le 48 ] && [ "${BASH_REMATCH[2]}" -le 48 ] && { icon=$w; break; }
  done
  [ -n "$icon" ] && break
  sleep 0.1
done
[ -n "$icon" ] || fail "no icon in the tray"
shot monitor_tray_icon

sleep 3.5  # the welcome message has gone
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
recording || fail "tapwatch does not record while it watches"
start_tutor "$out"
login Ann
info monitoredHits | grep -qx "monitoredHits=11" || fail "tapwatch had not saved: $(info monitoredHits)"
! recording || fail "tapwatch records keys while the tutor runs"
no_boxes "$pid" || fail "the tutor could not have the learner"
quit_tutor "$out" || fail "the tutor did not end"

# Back with tapwatch: it counts on in the same learner, and saves when it is killed.
sleep 2
xdotool windowfocus --sync "$pwin"
xdotool type --delay 100 "abc"
sleep 1

# Practice from the menu: the tutor starts on the learner without asking, and the name handed
# over does not stay behind in the workstation's file.
xdotool mousemove --window "$icon" 5 5 click 1
sleep 1
xdotool key Down Return
tutor=
for _ in $(seq 100); do
  tutor=$(own_process "^$bin/keyscholar /SIDEWATCH")
  [ -n "$tutor" ] && break
  sleep 0.1
done
[ -n "$tutor" ] || fail "practise now started no tutor"
pid=$tutor  # ended by the script's trap should it fail
twin=$(wait_window "$tutor") || fail "the tutor showed no window"
sleep 3
shot monitor_tray_practise
[ -f "$data/LAB1.wks.2nd" ] && fail "the tutor worked on the workstation's copy"
no_boxes "$tutor" || fail "a box came up in the tutor"
xdotool windowfocus --sync "$twin"
xdotool key ctrl+q
for _ in $(seq 150); do kill -0 "$tutor" 2>/dev/null || break; sleep 0.1; done
kill -0 "$tutor" 2>/dev/null && fail "the tutor did not end"
pid=
# The tutor took the name and cleared it in the file itself.
grep -qa "WardenLogon=Ann" "$data/LAB1.wks" && fail "the learner's name stayed in the workstation's file"
sleep 2
recording || fail "tapwatch does not record again after the tutor"
kill -TERM "$mon"
wait_exit "$mon" 20
mon=
[ "$EXIT_STATUS" = 0 ] || fail "tapwatch ended with $EXIT_STATUS"
info monitoredHits | grep -qx "monitoredHits=14" || fail "not saved at the end: $(info monitoredHits)"
echo "monitor_tray: ok"
