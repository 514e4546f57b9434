#!/usr/bin/env bash
# Without a window manager nobody hands the keyboard to a window: the tutor takes it itself when
# it starts, gives it to a message box that opens and takes it back when the box closes, so Tab
# and Alt letters keep working without a mouse click. Nothing here focuses a window.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home

# Fails unless the X keyboard focus is on window $1 (a window or its child), naming $2.
focus_on() {
  local focus
  for _ in $(seq 30); do
    focus=$(xdotool getwindowfocus -f 2>/dev/null || true)
    [ "$focus" = "$1" ] && return 0
    sleep 0.1
  done
  echo "the keyboard is not on $2 (window $1) but on ${focus:-nothing}" >&2
  return 1
}

QT_QPA_PLATFORM=xcb "$bin/keyscholar" >>"$out" 2>&1 &
pid=$!
win=$(wait_window "$pid") || { cat "$out"; exit 1; }
sleep 1.5
focus_on "$win" "the book at its start" || exit 1
xdotool type --delay 20 "ann lee"
xdotool key Return
sleep 3
[ -f "$data/Ann Lee.usr" ] || { echo "the login did not take the keys"; cat "$out"; exit 1; }
focus_on "$win" "the book after the login" || exit 1

# F1 asks the desktop for the manual; without one to show it the tutor says so in a box.
xdotool key F1
box=""
for _ in $(seq 50); do
  box=$(xdotool search --onlyvisible --pid "$pid" | grep -v "^$win\$" | head -n 1 || true)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || { echo "no message box"; cat "$out"; exit 1; }
focus_on "$box" "the message box" || exit 1
xdotool key Return
sleep 1
no_boxes "$pid" || exit 1
focus_on "$win" "the book after the box" || exit 1

xdotool key alt+x  # Exit: the keys reach the book
wait_exit "$pid"
status=$EXIT_STATUS
pid=
[ "$status" = 0 ] || { echo "keyscholar ended with $status"; cat "$out"; exit 1; }
echo "window focus: ok"
