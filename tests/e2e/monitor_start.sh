#!/usr/bin/env bash
# tapwatch's start where it cannot run: with its texts gone the product was removed, so it says
# so, takes itself out of the login's autostart and ends; with a workstation file that opens
# neither itself nor as its copy it says so and ends with a failure.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
mon=
trap 'for p in $mon; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
fail() { echo "monitor_start: $*"; cat "$work/mon" 2>/dev/null; exit 1; }

# Answers every box tapwatch shows with Enter until it ends; at most $1 boxes.
answer_boxes() {
  local n=0
  for _ in $(seq 150); do
    kill -0 "$mon" 2>/dev/null || return 0
    local w
    w=$(xdotool search --onlyvisible --pid "$mon" 2>/dev/null | head -n 1 || true)
    if [ -n "$w" ]; then
      [ "$n" -ge "$1" ] && fail "more than $1 boxes"
      shot "monitor_start_$2_$n"
      xdotool windowfocus --sync "$w" key Return 2>/dev/null || true
      n=$((n + 1))
      sleep 0.5
    fi
    sleep 0.1
  done
  fail "tapwatch did not end"
}

login=$(id -un)
mkdir -p "$data"
printf 'SidewatchInit.%s=1\r\nLastUser.%s=Ann\r\n' "$login" "$login" >"$data/LAB1.wks"

# The texts gone: an uninstalled product.
own_installation
rm -f "$root"/language.*
autostart=$XDG_CONFIG_HOME/autostart/org.quillstroker.Tapwatch.desktop
mkdir -p "$(dirname "$autostart")"
printf '[Desktop Entry]\nType=Application\nName=Quillstroker Sidewatch\nExec=tapwatch\n' >"$autostart"
QT_QPA_PLATFORM=xcb "$bin/tapwatch" /AUTOLOGON >"$work/mon" 2>&1 &
mon=$!
answer_boxes 3 removed  # the loader's two "not found", then the monitor's own
wait "$mon" && status=0 || status=$?
mon=
[ "$status" = 0 ] || fail "tapwatch ended with $status"
[ -e "$autostart" ] && fail "the autostart entry stayed"
[ -e "$data/Ann.SET" ] && fail "a learner was logged on"
unset KEYSCHOLAR_ROOT

# A workstation file that cannot be opened, nor its copy.
rm "$data/LAB1.wks"
mkdir "$data/LAB1.wks" "$data/LAB1.wks.2nd"
QT_QPA_PLATFORM=xcb "$bin/tapwatch" /AUTOLOGON >"$work/mon" 2>&1 &
mon=$!
answer_boxes 1 workstation
wait "$mon" && status=0 || status=$?
mon=
[ "$status" = 0 ] && fail "tapwatch reported success"
[ -e "$data/Ann.SET" ] && fail "a learner was logged on"
echo "monitor_start: ok"
