#!/usr/bin/env bash
# A learner opens the typing test with the keyboard, takes a short text the script installs,
# types it to its end, and finds the result among the completed tests after a restart.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
learner="$data/Ann Lee.usr"

# The installation with a short text of its own, listed first by its name, without time limit.
own_installation
printf 'name=0 Quick test\r\nlanguage=ENG\r\ncopyright=Written for this test\r\nmustTypeAll=1\r\ntime=0\r\n' \
  >"$root/Texts/aaa.exi"
printf 'ask a lad as a dad asks a lass' >"$root/Texts/aaa.exm"
fail() {
  echo "$1"
  cat "$learner" "$out"
  exit 1
}

start_tutor "$out" || exit 1
login "ann lee"
no_boxes "$pid" || exit 1
xdotool key alt+t  # the typing test tab
sleep 3
shot typingtest_choice
xdotool key Return  # start the selected text
sleep 3
xdotool type --delay 1200 "ask a lad as a dad asks a lass"  # over ten seconds: a test
xdotool key Return  # the end of the text's line ends the test
sleep 2
shot typingtest_done
xdotool key Return  # the test is over
sleep 3
no_boxes "$pid" || exit 1
shot typingtest_result
xdotool key Return  # the result page goes back to the choice
sleep 3
quit_tutor "$out" || exit 1
grep -aq "^Re[0-9]*=NAME;TEST1;0;0;1;.*;TEST;4;.*;0 Quick test;" "$learner" || fail "no passed test result"
grep -q "^TestCounter=1" "$learner" || fail "test not counted"
[ -f "$data/Ann Lee.TT0" ] || [ -n "$(ls "$data" | grep -i '\.tt0$')" ] || fail "no typed text"

# After a restart the test is listed among the completed ones.
start_tutor "$out" || exit 1
login "ann lee"
no_boxes "$pid" || exit 1
xdotool key alt+t
sleep 3
shot typingtest_listed
report=$("$bin/learnerinfo" "Ann Lee")
echo "$report"
grep -q "^result 0.0 TEST .* checked=1 " <<<"$report" || fail "the test is not among the results"
quit_tutor "$out" || exit 1
echo "typing test: ok"
