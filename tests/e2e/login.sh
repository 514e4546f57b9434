#!/usr/bin/env bash
# A new learner registers by typing a name, reaches the main window and leaves; the learner's
# files are there. A second start brings the first to the front and ends with 123; /NOMUTEX
# runs a second tutor beside it.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
fresh_home "$work"

QT_QPA_PLATFORM=xcb "$bin/keyscholar" >"$work/first.out" 2>&1 &
first=$!
pids+=("$first")
win=$(wait_window "$first") || { cat "$work/first.out"; exit 1; }
sleep 1
no_boxes "$first" || exit 1
xdotool windowfocus --sync "$win"
xdotool type --delay 20 "  ann   lee "
xdotool key Return
# The file is created before the learner's settings are written into it.
for _ in $(seq 100); do grep -qs "^UserName=Ann Lee" "$data/Ann Lee.usr" && break; sleep 0.1; done
[ -f "$data/Ann Lee.usr" ] || { echo "no learner file"; ls -la "$data"; cat "$work/first.out"; exit 1; }
grep -q "^UserName=Ann Lee" "$data/Ann Lee.usr" || { echo "bad learner file"; cat "$data/Ann Lee.usr"; exit 1; }
[ -f "$data/LAB1.wks" ] || { echo "no workstation file"; exit 1; }

# A second start hands over to the first and ends: the first comes to the front, over another
# window (a tutor started with /NOMUTEX, which does not take part). Without a window manager the
# X server keeps the keyboard where it was, so the front is the window under the pointer.
QT_QPA_PLATFORM=xcb "$bin/keyscholar" /NOMUTEX other >"$work/other.out" 2>&1 &
other=$!
pids+=("$other")
other_win=$(wait_window "$other") || { cat "$work/other.out"; exit 1; }
sleep 1
on_top() { xdotool mousemove 400 300 getmouselocation --shell | sed -n 's/^WINDOW=//p'; }
[ "$(on_top)" = "$other_win" ] || { echo "the other tutor is not in front to begin with"; exit 1; }
status=0
QT_QPA_PLATFORM=xcb timeout 20 "$bin/keyscholar" >"$work/second.out" 2>&1 || status=$?
[ "$status" -eq 123 ] || { echo "second start ended with $status"; cat "$work/second.out"; exit 1; }
sleep 1
[ "$(on_top)" = "$win" ] || { echo "first tutor not brought to the front"; exit 1; }
kill "$other"

# Leave with Ctrl+Q: the learner is saved and the program ends with 0.
xdotool windowfocus --sync "$win"
no_boxes "$first" || exit 1
xdotool key ctrl+q
wait_exit "$first"; status=$EXIT_STATUS
[ "$status" = 0 ] || { echo "first ended with $status"; cat "$work/first.out"; exit 1; }
grep -q "^TimesUsed=1" "$data/Ann Lee.usr" || { echo "usage not saved"; cat "$data/Ann Lee.usr"; exit 1; }
grep -q "^UsageTimes=1" "$data/LAB1.wks" || { echo "workstation not stamped"; exit 1; }
grep -q "^LastStudent=Ann Lee" "$data/LAB1.wks" || { echo "last student not kept"; exit 1; }
echo "login: ok"
