#!/usr/bin/env bash
# A learner whose settings file was cut in the middle of a line and whose statistics file was
# overwritten with something else logs on: each damage is told in a box, each file is copied
# aside before it is written again, and the learner goes on. Another learner logs on as usual;
# a third one's settings file is overwritten whole.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
fail() {
  echo "$1"
  ls -la "$data"
  cat "$out"
  exit 1
}
boxes() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }

# Two learners.
start_tutor "$out"
login "ann lee"
quit_tutor "$out"
start_tutor "$out"
login "bob ray"
xdotool key Return  # yes, a new learner
sleep 3
no_boxes "$pid" || fail "boxes for a new learner"
quit_tutor "$out"
ann="$data/Ann Lee"
[ -f "$ann.usr" ] && [ -f "$data/Bob Ray.usr" ] || fail "learners not made"

# The damage.
size=$(stat -c %s "$ann.usr")
head -c $((size / 2)) "$ann.usr" >"$work/cut"
cp "$work/cut" "$ann.usr"
head -c 2704 /dev/zero | tr '\0' 'x' >"$work/garbage"
cp "$work/garbage" "$ann.DTA"
cp "$data/Bob Ray.usr" "$work/bob"

start_tutor "$out"
login "ann lee"
[ "$(boxes)" = 2 ] || fail "no box for the cut settings file"
cmp -s "$ann.usr.damaged" "$work/cut" || fail "settings file not kept"
xdotool key Return
sleep 2
[ "$(boxes)" = 2 ] || fail "no box for the statistics file"
cmp -s "$ann.DTA.damaged" "$work/garbage" || fail "statistics file not kept"
xdotool key Return
sleep 3
no_boxes "$pid" || fail "more boxes"
quit_tutor "$out"
# Written whole again; the copies stay as they were.
[ "$(tail -c 1 "$ann.usr" | od -An -c | tr -d ' ')" = '\n' ] || fail "settings not written whole"
grep -q "^UserName=Ann Lee" "$ann.usr" || fail "learner's name lost"
cmp -s "$ann.usr.damaged" "$work/cut" && cmp -s "$ann.DTA.damaged" "$work/garbage" ||
  fail "copies changed"
cmp -s "$ann.DTA" "$work/garbage" && fail "statistics not written afresh"

# The next start for Ann is quiet, and Bob never noticed.
start_tutor "$out"
login "ann lee"
no_boxes "$pid" || fail "boxes again for Ann"
quit_tutor "$out"
start_tutor "$out"
login "bob ray"
no_boxes "$pid" || fail "boxes for Bob"
quit_tutor "$out"
grep -q "^TimesUsed=2" "$data/Bob Ray.usr" || fail "Bob's file"
[ ! -e "$data/Bob Ray.usr.damaged" ] || fail "Bob's file taken for damaged"

# A settings file overwritten with 1,500 bytes of something else: one box, the file kept as it
# was, and the file written afresh names the learner and the copy, for the course page to point
# to it.
start_tutor "$out"
login "cy"
xdotool key Return  # yes, a new learner
sleep 3
quit_tutor "$out"
cy="$data/Cy"
[ -f "$cy.usr" ] || fail "Cy not made"
{ head -c 700 /dev/urandom; head -c 100 /dev/zero; head -c 700 /dev/urandom; } >"$work/garbage-usr"
cp "$work/garbage-usr" "$cy.usr"
start_tutor "$out"
login "cy"
[ "$(boxes)" = 2 ] || fail "no box for the overwritten settings file"
shot damaged_learner_box
cmp -s "$cy.usr.damaged" "$work/garbage-usr" || fail "overwritten settings file not kept"
xdotool key Return
sleep 2
no_boxes "$pid" || fail "more boxes for Cy"
shot damaged_learner_after
quit_tutor "$out"
grep -q "^UserName=Cy" "$cy.usr" || fail "Cy's name not written again"
grep -q "^DamagedCopy=Cy.usr.damaged" "$cy.usr" || fail "the copy not named in Cy's file"
cmp -s "$cy.usr.damaged" "$work/garbage-usr" || fail "Cy's copy changed"

# A layout file that went missing is told once, in one box and one log entry.
cp -r "$bin/../share/keyscholar" "$work/installation"
rm "$work/installation/keyboards/qwerty.kbd"
export KEYSCHOLAR_ROOT=$work/installation
start_tutor "$out"
login "bob ray"
[ "$(boxes)" = 2 ] || fail "no box for the missing layout"
xdotool key Return
sleep 2
no_boxes "$pid" || fail "the missing layout told twice"
quit_tutor "$out"
unset KEYSCHOLAR_ROOT
[ "$(grep -c '#-500 ' "$data/Errors.log")" = 1 ] || fail "the missing layout logged $(grep -c '#-500 ' "$data/Errors.log") times"
echo "damaged learner: ok"
