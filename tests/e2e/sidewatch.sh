#!/usr/bin/env bash
# The tutor's monitor page: its first-use wizard starts the real monitor for the learner; after
# the tutor ends, the monitor counts what is typed into a window of this test, and the tutor's
# monitor page opens again straight onto the figures.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
probe= monitor=
trap 'for p in $pid $probe $monitor; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
fail() { echo "sidewatch: $*"; cat "$out" 2>/dev/null; exit 1; }
login=$(id -un)

start_tutor "$out" /SIDEWATCH
login Ann
shot sidewatch_wizard
xdotool key Home    # the monitor follows this learner
xdotool key Return  # done: the monitor starts
for _ in $(seq 100); do
  monitor=$(pgrep -n -f "^$bin/tapwatch /AUTOLOGON" || true)
  [ -n "$monitor" ] && break
  sleep 0.1
done
[ -n "$monitor" ] || fail "the wizard did not start the monitor"
sleep 3
shot sidewatch_launched
xdotool key Return
sleep 2
shot sidewatch_page
no_boxes "$pid" || fail "a box came up"
quit_tutor "$out"
grep -qa "SidewatchInit.$login=1" "$data/LAB1.wks" || fail "the account was not set up"
grep -qa "SelectedUser.$login=Ann" "$data/LAB1.wks" || fail "the learner was not chosen"

# The tutor has ended: the monitor watches for Ann again.
QT_QPA_PLATFORM=xcb "$bin/typingprobe" window >"$work/probe" 2>&1 &
probe=$!
win=$(wait_window "$probe") || fail "no probe window"
xdotool windowfocus --sync "$win"
sleep 2
xdotool type --delay 120 "hello world"
sleep 1
kill -TERM "$monitor"
for _ in $(seq 100); do kill -0 "$monitor" 2>/dev/null || break; sleep 0.1; done
monitor=
info=$("$bin/learnerinfo" Ann monitoredHits)
echo "$info" | grep -qx "monitoredHits=11" || fail "the monitor did not count the typing: $info"

start_tutor "$out" /STATISTICS
login Ann
shot sidewatch_statistics
no_boxes "$pid" || fail "a box came up"
quit_tutor "$out"
