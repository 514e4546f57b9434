#!/usr/bin/env bash
# Natively under Wayland: a second start of the tutor, from a launcher that hands it an
# activation token as desktops do, opens no second window and ends; the running tutor takes the
# token and asks the compositor to bring its window forward (xdg-activation), which sway does
# by focusing it or, by its default policy, by marking it urgent.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wayland_lib.sh"
script_home
plug_keyboard us

window_state() { swaymsg -t get_tree -r | python3 -c '
import json, sys
def walk(n):
    if n.get("id") == int(sys.argv[1]): print("focused" if n.get("focused") else "urgent" if n.get("urgent") else "behind")
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c)
walk(json.load(sys.stdin))' "$1"; }

start_tutor "$out"
first=$pid first_win=$win
login "Ann"
# Another window takes the focus: a tutor of another workstation.
start_tutor "$work/other" /NOMUTEX LAB2
other=$pid
trap 'kill "$first" "$other" "$VKEYBOARD_PID" 2>/dev/null; rm -rf "$work"' EXIT
[ "$(window_state "$first_win")" = behind ] || { echo "the first tutor kept the focus"; exit 1; }

printf 'a\n' >&"${VKEYBOARD[1]}"
read -r -t 10 answer <&"${VKEYBOARD[0]}" || true
token=${answer#ok }
[ -n "$token" ] && [ "$token" != "$answer" ] || { echo "no activation token: $answer"; exit 1; }
status=0
XDG_ACTIVATION_TOKEN=$token env -u QT_QPA_PLATFORM timeout 60 "$bin/keyscholar" >>"$out" 2>&1 ||
  status=$?
[ "$status" = 123 ] || { echo "the second start ended with $status"; cat "$out"; exit 1; }
sleep 1
state=$(window_state "$first_win")
shot wayland_second_start
[ "$state" = focused ] || [ "$state" = urgent ] || { echo "not brought forward: $state"; exit 1; }
[ "$(sway_windows "$first" | wc -l)" = 1 ] || { echo "a second window"; exit 1; }

pid=$other
xdotool windowfocus "$(sway_windows "$other")"
quit_tutor "$work/other"
pid=$first
xdotool windowfocus "$first_win"
quit_tutor "$out"
echo "second start under Wayland: $state, ok"
