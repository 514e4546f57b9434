#!/usr/bin/env bash
# On a screen with room for a much larger book the whole window is drawn larger: the page,
# its text and its buttons, which still answer the mouse where they are drawn. A scale the
# user sets for Qt is left as it is.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap '[ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; [ -n "${xpid:-}" ] && kill "$xpid" 2>/dev/null; rm -rf "$work"' EXIT
fresh_home "$work"

# A wide screen of its own, beside the test command's.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
# A loaded machine can take seconds to bring the server up: wait until it answers.
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "the wide screen's X server did not start"; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display")
for _ in $(seq 300); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

geometry() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p'
}

# 2560 x 1440 holds the 1048 x 770 window 1.75 times.
start_tutor "$work/out"
read -r w h < <(geometry "$win")
[ "$w" -ge 1832 ] && [ "$w" -le 1836 ] && [ "$h" -ge 1346 ] && [ "$h" -le 1350 ] ||
  { echo "window not scaled: ${w}x${h}"; exit 1; }
no_boxes "$pid" || exit 1
login "Wide Screen"
[ -f "$data/Wide Screen.usr" ] || { echo "no learner file"; cat "$work/out"; exit 1; }
quit_tutor "$work/out"

# The small exit button of the login view, at (771, 26) on the page, is clicked where the
# larger page shows it: the page's corner sits at (124, 85) of the window, times 1.75.
start_tutor "$work/out"
xdotool mousemove --window "$win" $(((124 + 771) * 7 / 4)) $(((85 + 26) * 7 / 4)) click 1
wait_exit "$pid"; status=$EXIT_STATUS
pid=
[ "$status" = 0 ] || { echo "the exit button did not end the tutor: $status"; cat "$work/out"; exit 1; }

# Qt's own options reach the larger application too: "-platform xcb" wins over offscreen here.
QT_QPA_PLATFORM=offscreen "$bin/keyscholar" -platform xcb >>"$work/out" 2>&1 &
pid=$!
win=$(wait_window "$pid") || { echo "Qt's options were lost"; cat "$work/out"; exit 1; }
sleep 1
xdotool windowfocus --sync "$win"
quit_tutor "$work/out"

QT_SCALE_FACTOR=1 start_tutor "$work/out"
read -r w h < <(geometry "$win")
[ "$w" = 1048 ] && [ "$h" = 770 ] || { echo "the user's scale was not kept: ${w}x${h}"; exit 1; }
quit_tutor "$work/out"
echo "scaled page: ok"
