#!/usr/bin/env bash
# A new learner chooses the course, starts the first lesson and types its first exercise; the
# result page follows and the lesson moves on. The learner quits, comes back, and the tutor
# resumes at the second exercise, which is typed and stored in its turn.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
learner="$data/Ann Lee.usr"

# The installation with a small course of its own as the only one.
own_installation
sed -i 's/^DefaultContents=.*/DefaultContents=e2e.cnt\r/' "$root/Policy.dyn"
printf '*.cnt=e2e.cnt\r\n' >>"$root/Policy.dyn"
{
  printf '$description=Home row\r\nkeyboard=ALL\r\nbegin chapter\r\nchapter name=1;Home row\r\n'
  printf 'new keys=asdfjkl\r\ndurationpercent=100\r\n'
  for text in "a sad lad asks dad fall salads" "all lads ask a dad for salsa" "ask all"; do
    printf 'begin exercise\r\ntype=Text\r\nduration=1\r\nevent=TEXT;1;%s\r\nend exercise\r\n' "$text"
  done
  printf 'end chapter\r\n'
} >"$root/lessons/e2e.cnt"

start() {
  start_tutor "$out" || exit 1
  login "ann lee"
  no_boxes "$pid" || exit 1
}
# Types one exercise's text slowly enough to be measured, then leaves its result page.
exercise() {
  xdotool key Return  # start the selected exercise
  sleep 3
  xdotool type --delay 900 "$1 "  # over ten seconds: measured
  sleep 2
  xdotool key Return  # the exercise is done
  sleep 3
  no_boxes "$pid" || exit 1
  xdotool key Return  # the result page goes on
  sleep 3
}

start
xdotool key Return  # the recommended course
sleep 3
xdotool key Return  # start it
sleep 3
exercise "a sad lad asks dad fall salads"
quit_tutor "$out" || exit 1
grep -q "^ContentsFile=E2E.cnt" "$learner" || { echo "course not kept"; cat "$learner"; exit 1; }
grep -q "^Crs.E2E.Exercise=2" "$learner" || { echo "bookmark not moved on"; cat "$learner"; exit 1; }
grep -q "^Re[0-9]*=BKM;E2E;1;1;" "$learner" || { echo "no result of exercise 1"; cat "$learner"; exit 1; }

# The next day: straight back to the lesson, at the second exercise.
start
exercise "all lads ask a dad for salsa"
quit_tutor "$out" || exit 1
grep -q "^Re[0-9]*=BKM;E2E;1;2;" "$learner" || { echo "exercise 2 not resumed"; cat "$learner"; exit 1; }
grep -q "^Crs.E2E.Exercise=3" "$learner" || { echo "bookmark not moved on again"; cat "$learner"; exit 1; }
echo "studying: ok"
