#!/usr/bin/env bash
# A learner opens the Games tab by its key, starts Wordtris on a word list from the menu by
# keyboard, types words until the level is high, then lets six words land. The high score goes
# into the shared list under the learner's name, the game is stored, and the menu comes back.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
learner="$data/Ann Lee.usr"

# The installation with word lists of one known word, so the script can type them.
own_installation
for list in "$root"/*.vcb.eng; do printf 'sun\r\n' >"$list"; done

start_tutor "$out" || exit 1
login "ann lee"
no_boxes "$pid" || exit 1
xdotool key alt+g  # the Games tab
sleep 3
shot games_menu
xdotool key Return  # Wordtris on the first list, which has the focus
sleep 3
shot wordtris_ready
xdotool key space
sleep 0.5
for _ in $(seq 24); do xdotool type --delay 40 "sun "; done
shot wordtris_running
sleep 40  # six words land
shot wordtris_over
no_boxes "$pid" || exit 1
xdotool key Return  # the game is over: on to the top ten
sleep 3
shot wordtris_topten
xdotool key ctrl+a
xdotool type --delay 50 "Wordsmith"
xdotool key Return  # the name goes into the list, and the view closes
sleep 3
shot games_menu_again
no_boxes "$pid" || exit 1
quit_tutor "$out" || exit 1

report=$("$bin/learnerinfo" "Ann Lee")
echo "$report"
fail() {
  echo "wordtris from the games menu: $1"
  cat "$out"
  exit 1
}
grep -q "^result .* GAME .* checked=1 " <<<"$report" || fail "no game result"
list="$data/Wordtris.topten"
[ -f "$list" ] || fail "no high-score list"
grep -aq "Wordsmith" "$list" || fail "the name is not in the high-score list"
echo "wordtris from the games menu: ok"
