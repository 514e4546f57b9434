#!/usr/bin/env bash
# The tutor without a mouse: a learner logs in, tabs to another course and opens it, starts a
# lesson, goes to Review with its tab's Alt key, leaves its questions with Escape, goes to
# Settings the same way, and leaves with Exit's Alt key.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
learner="$data/Ann Lee.usr"

# Two small courses of its own: the one offered first and another.
own_installation
sed -i 's/^DefaultContents=.*/DefaultContents=first.cnt\r/' "$root/Policy.dyn"
printf '*.cnt=first.cnt,other.cnt\r\n' >>"$root/Policy.dyn"
for course in first other; do
  {
    printf '$description=The %s course\r\nkeyboard=ALL\r\nbegin chapter\r\n' "$course"
    printf 'chapter name=1;Home row\r\nnew keys=asdfjkl\r\ndurationpercent=100\r\n'
    printf 'begin exercise\r\ntype=Text\r\nduration=1\r\nevent=TEXT;1;a sad lad\r\nend exercise\r\n'
    printf 'end chapter\r\n'
  } >"$root/lessons/$course.cnt"
done

start_tutor "$out" || exit 1
login "ann lee"
no_boxes "$pid" || exit 1
shot keys_courses
# Tab enters the page at the first course's button; the next stop is the list of other courses.
xdotool key Tab Tab
xdotool key Down  # the other course (the list offers only it)
xdotool key Tab   # its Start button
shot keys_other_course
xdotool key Return
sleep 3
no_boxes "$pid" || exit 1
shot keys_contents
xdotool key Return  # the course's first lesson
sleep 3
no_boxes "$pid" || exit 1
shot keys_lesson
xdotool key alt+r  # the Review tab
sleep 3
no_boxes "$pid" || exit 1
shot keys_review
xdotool key Escape  # the review's questions are left; the lesson page comes back
sleep 3
xdotool key alt+e  # the Settings tab
sleep 3
no_boxes "$pid" || exit 1
xdotool key Tab  # the focus ring shows where Tab went
shot keys_settings
xdotool key alt+x  # Exit
wait_exit "$pid"
status=$EXIT_STATUS
pid=
[ "$status" = 0 ] || { echo "keyscholar ended with $status"; cat "$out"; exit 1; }
grep -q "^ContentsFile=OTHER.cnt" "$learner" || { echo "other course not opened"; cat "$learner"; exit 1; }
echo "keyboard only: ok"
