#!/usr/bin/env bash
# Natively under Wayland, with the layouts "us,de" on sway and US active: a learner opens the
# Settings page by keyboard alone, chooses the German layout, and leaving the page switches
# sway's keyboard to German through its IPC. The learner switches back to US in the desktop
# (sway's IPC, as its layout switch does) while the tutor runs; the tutor notices, so the next
# visit to the page switches to German again. "DisableWindowsLayouts" then keeps sway as it is.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wayland_lib.sh"
script_home
own_installation
plug_keyboard us,de

active() { swaymsg -t get_inputs -r | python3 -c '
import json, sys
print(next(i["xkb_active_layout_index"] for i in json.load(sys.stdin) if i["type"] == "keyboard"))'; }
expect_active() {
  local now
  now=$(active)
  [ "$now" = "$1" ] || { echo "$2: sway has layout $now active, not $1"; cat "$out"; exit 1; }
}
settings_and_back() {
  xdotool key alt+e
  sleep 2
  no_boxes "$pid" || exit 1
  shot "wayland_settings_$1"
  xdotool key Escape  # leaving the page applies it
  sleep 2
}

start_tutor "$out"
login "Ann"
expect_active 0 "at the start"
xdotool key alt+e
sleep 2
xdotool key alt
shot wayland_settings
xdotool key alt+k Home g  # German, the one layout whose name starts with G
sleep 1
shot wayland_settings_german
xdotool key Escape
sleep 2
expect_active 1 "after choosing German"

swaymsg 'input type:keyboard xkb_switch_layout 0' >/dev/null  # the learner's own switch
sleep 1
settings_and_back again
expect_active 1 "after the learner's switch and the settings page again"
quit_tutor "$out"
grep -q "^KeyboardLayout=German" "$data/Ann.usr" || { echo "layout not stored"; exit 1; }

# "DisableWindowsLayouts": the tutor never switches.
printf 'DisableWindowsLayouts=1\r\n' >>"$root/Policy.dyn"
swaymsg 'input type:keyboard xkb_switch_layout 0' >/dev/null
start_tutor "$out"
login "Ann"
settings_and_back policy
expect_active 0 "under DisableWindowsLayouts"
quit_tutor "$out"
echo "layout switch under Wayland: ok"
