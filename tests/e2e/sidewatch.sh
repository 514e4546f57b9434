#!/usr/bin/env bash
# The tutor's monitor page: its first-use wizard sets the account up for the learner, starts the
# real monitor and leads to the page, which says that the monitor runs.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
monitor=
trap 'for p in $pid $monitor; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
# The monitor is started by the tutor, detached: its sanitizer reports go to files.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}log_path=$work/asan"
fail() { echo "sidewatch: $*"; cat "$out" "$work"/asan* 2>/dev/null; exit 1; }
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
kill -0 "$monitor" 2>/dev/null || fail "the monitor did not stay"
shot sidewatch_launched
xdotool key Return
sleep 2
shot sidewatch_page
no_boxes "$pid" || fail "a box came up"
quit_tutor "$out"

grep -qa "SidewatchInit.$login=1" "$data/LAB1.wks" || fail "the account was not set up"
grep -qa "SelectedUser.$login=Ann" "$data/LAB1.wks" || fail "the learner was not chosen"
grep -qa "UseSelectedUser.$login=1" "$data/LAB1.wks" || fail "the learner is not always used"
[ -f "$XDG_CONFIG_HOME/autostart/org.quillstroker.Tapwatch.desktop" ] ||
  fail "the monitor does not start at login"
ls "$work"/asan* >/dev/null 2>&1 && fail "a sanitizer spoke"
exit 0
