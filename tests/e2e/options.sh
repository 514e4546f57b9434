#!/usr/bin/env bash
# A learner opens the settings page from the menu and, by keyboard alone, picks another
# language, keystrokes per minute, sounds off, no welcome tune, another layout and full screen;
# leaving the page stores them all. The next start opens in full screen.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
own_installation
# A second language: English texts under another code, with the settings tab renamed.
printf 'Testish=TST\r\n' >>"$root/QSLangs.ini"
sed -e 's/^0=.*/0=tst\r/' -e 's/^560=.*/560=Optionen\r/' "$root/language.eng" >"$root/language.tst"

# Clicks the menu tab in row $1 (0 the first; the gap before "Settings" counted in): the page is
# centred in the window, its menu on the right.
click_tab() {
  local w h
  read -r w h < <(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
  local left=$(((w - 800) / 2)) top=$(((h - 600) / 2))
  xdotool mousemove --window "$win" $((left + 700)) $((top + 50 + 40 * $1 + 15 + 20)) click 1
  sleep 2
}

start_tutor "$out"
login "Ann"
# Tabs: Studying, Review, Test, Games, Sidewatch when the monitor is installed, then Settings.
row=4
[ -x "$bin/tapwatch" ] && row=5
click_tab "$row"
no_boxes "$pid" || exit 1
xdotool key alt  # the letters show
shot options_before
xdotool key alt+l End  # the language the script added, last in the list
xdotool key alt+u Up  # keystrokes per minute ("Speed unit": S belongs to the Studying tab)
xdotool key alt+w Down Down  # full screen
xdotool key alt+o Up  # sounds off
xdotool key alt+p  # no welcome tune
xdotool key alt+k End  # the last layout of the list
sleep 1
shot options_chosen
xdotool key Escape
sleep 2
shot options_left
quit_tutor "$out"
# The list shows the installation's layouts by name, sorted.
last=$(tr -d '\r' <"$bin/../share/keyscholar/QSKeyb.ini" | grep -v '^\[' | cut -d= -f1 | LC_ALL=C sort | tail -1)
for want in "LanguageCode=TST" "cpm=1" "Sounds=0" "ThemeSound=0" "KeyboardAutoDetect=0" \
  "KeyboardLayout=$last"; do
  grep -q "^$want" "$data/Ann.usr" || { echo "missing $want"; cat "$data/Ann.usr"; exit 1; }
done
grep -q "^FullScreen=2" "$data/LAB1.wks" || { echo "window size not stored"; cat "$data/LAB1.wks"; exit 1; }

# The next start fills the screen.
start_tutor "$out"
read -r sw sh < <(xdotool getdisplaygeometry)
read -r w h < <(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
[ "$w" = "$sw" ] && [ "$h" = "$sh" ] || { echo "not full screen: ${w}x${h} on ${sw}x${sh}"; exit 1; }
shot options_fullscreen
quit_tutor "$out"
echo "options: ok"
