#!/usr/bin/env bash
# The tutor's monitor page: its first-use wizard sets the account up for the learner, starts the
# real monitor and leads to the page, which says that the monitor runs. When the tutor ends, the
# monitor watches the learner's typing in another window; the next tutor's page has what it saw,
# and practice of those keys opens from it.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
monitor= tray= probe=
# The monitor saves as it ends: its files go only after it has gone.
trap 'for p in $pid $monitor $probe $tray; do kill "$p" 2>/dev/null || true; done
  for _ in $(seq 50); do kill -0 "$monitor" 2>/dev/null || break; sleep 0.1; done
  rm -rf "$work" || true' EXIT
# The monitor is started by the tutor, detached: its sanitizer reports go to files.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}log_path=$work/asan"
fail() { echo "sidewatch: $*"; cat "$out" "$work"/asan* 2>/dev/null; exit 1; }
login=$(id -un)
# Practice files go where the script can see them.
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"

trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
  --transparent false --expand false >/dev/null 2>&1 &
tray=$!
start_tutor "$out" /SIDEWATCH
login Ann
shot sidewatch_wizard
xdotool key Home    # the monitor follows this learner
xdotool key Return  # done: the monitor starts
for _ in $(seq 100); do
  monitor=$(own_process "^$bin/tapwatch /AUTOLOGON")
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

# With the tutor gone the monitor watches again, this learner's typing in another program.
sleep 2
kill -0 "$monitor" 2>/dev/null || fail "the monitor ended with the tutor"
QT_QPA_PLATFORM=xcb "$bin/typingprobe" window >"$work/probe" 2>&1 &
probe=$!
pwin=$(wait_window "$probe") || fail "no probe window"
xdotool windowfocus --sync "$pwin"
xdotool type --delay 100 "hello world"
sleep 1

# The next tutor has what the monitor saw: the monitor saved before it let the learner go.
start_tutor "$out" /SIDEWATCH
login Ann
info=$("$bin/learnerinfo" Ann)
for k in l o w r d; do  # the first key of a run has no time to measure
  grep -q "^monitorkey $k presses=" <<<"$info" || fail "key $k was not counted: $info"
done
shot sidewatch_figures
no_boxes "$pid" || fail "a box came up on the page"
xdotool key alt+a  # the analysis: keys by their difficulty
sleep 1
shot sidewatch_analysis
xdotool key alt+n  # back to the training
sleep 0.5
# Practice of keys the learner typed: the drill is built from them and opens.
xdotool key alt+k
sleep 0.5
xdotool type --delay 50 "hlo"
sleep 0.5
xdotool key alt+p
drill=
for _ in $(seq 50); do
  drill=$(cat "$TMPDIR"/*/keys*.txt 2>/dev/null || true)
  [ -n "$drill" ] && break
  sleep 0.1
done
[ -n "$drill" ] || fail "no practice of the keys opened"
# The drill works the keys asked for (and, as every key drill, their neighbours).
for k in h l o; do [[ $drill == *$k* ]] || fail "the practice lacks $k: $drill"; done
sleep 2
shot sidewatch_practice
no_boxes "$pid" || fail "a box came up instead of the practice"
kill "$pid"
wait_exit "$pid" 20
pid=
ls "$work"/asan* >/dev/null 2>&1 && fail "a sanitizer spoke"
exit 0
