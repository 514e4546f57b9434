#!/usr/bin/env bash
# A learner plays the ABC game from a course line: Space starts it, the sequence is typed in
# order, the high score goes into the shared list under the name the learner types, and the
# exercise is stored as a passed game.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
learner="$data/Ann Lee.usr"

# The installation with a small course of its own: the game, then a text.
own_installation
sed -i 's/^DefaultContents=.*/DefaultContents=e2e.cnt\r/' "$root/Policy.dyn"
printf '*.cnt=e2e.cnt\r\n' >>"$root/Policy.dyn"
{
  printf '$description=Games\r\nkeyboard=ALL\r\nbegin chapter\r\nchapter name=1;Games\r\n'
  printf 'new keys=asdfjkl\r\ndurationpercent=100\r\n'
  printf 'begin exercise\r\ntype=Game\r\nduration=1\r\nevent=abc;0;keys;asdfjkl\r\nend exercise\r\n'
  printf 'begin exercise\r\ntype=Text\r\nduration=1\r\nevent=TEXT;1;ask a lad\r\nend exercise\r\n'
  printf 'end chapter\r\n'
} >"$root/lessons/e2e.cnt"

start_tutor "$out" || exit 1
login "ann lee"
no_boxes "$pid" || exit 1
xdotool key Return  # the recommended course
sleep 3
xdotool key Return  # start it
sleep 3
xdotool key Return  # the game, with its instructions
sleep 3
shot abc_ready
xdotool key space
sleep 1
shot abc_running
xdotool type --delay 150 "asdfjkl"
sleep 1.5
shot abc_over
no_boxes "$pid" || exit 1
xdotool key Return  # the game is over: on to the top ten
sleep 3
shot abc_topten
xdotool key ctrl+a
xdotool type --delay 50 "Speedy"
xdotool key Return  # the name goes into the list, and the view closes
sleep 3
no_boxes "$pid" || exit 1
quit_tutor "$out" || exit 1

fail() {
  echo "$1"
  cat "$learner" "$out"
  exit 1
}
report=$("$bin/learnerinfo" "Ann Lee")
echo "$report"
grep -q "^result 1.1 GAME .* checked=1 " <<<"$report" || fail "no passed game result"
# The stored line ends with the game's score: seven characters within seconds of the start.
score=$(grep "^Re[0-9]*=BKM;E2E;1;1;" "$learner" | tr -d '\r' | awk -F';' '{print $(NF-2)}')
[ -n "$score" ] && [ "$score" -gt 700 ] || fail "game score ${score:-none}"
list="$data/ABCGame.topten"
[ -f "$list" ] || fail "no high-score list"
grep -aq "Speedy" "$list" || fail "the name is not in the high-score list"
echo "abc game: ok (score $score)"
