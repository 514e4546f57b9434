#!/usr/bin/env bash
# The tutor as a screen reader meets it, over the accessibility bus from outside the program:
# the login page, the lesson page and a key drill expose every control with its role and name,
# the drill's text can be read, and the focus events follow Tab.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
own_session_bus "$@"
script_home
accessibility_bus
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; kill "$bus" 2>/dev/null; rm -rf "$work"' EXIT
reader() { /usr/bin/python3 "$(dirname "$0")/atspi_reader.py" keyscholar "$@"; }

# Controls a learner operates must have a name to be spoken; containers and pictures may not.
named() {
  local page=$1 tree unnamed
  tree=$(reader controls) || { echo "$page: the tutor is not on the accessibility bus"; exit 1; }
  unnamed=$(grep -E '^(push button|toggle button|check box|radio button|text|password text|combo box|list|page tab|spin button|slider|link)\|\|' <<<"$tree" || true)
  [ -z "$unnamed" ] || { echo "$page: controls without a name:"; echo "$unnamed"; exit 1; }
  echo "$tree"
}
# A control with its role and name (line $2, "role|name") in tree $1.
expect() { grep -qF -- "$2|" <<<"$1" || { echo "not read out: $2"; echo "$1"; exit 1; }; }

start_tutor "$out"
tree=$(named login)
expect "$tree" "text|Your name:"
expect "$tree" "push button|Start"
expect "$tree" "push button|Exit"

# Each Tab is heard as a focus event of the control it reaches: from the name field to Start,
# Exit, and back to Start.
reader focus 6 >"$work/focus" &
listener=$!
for _ in $(seq 50); do grep -q listening "$work/focus" 2>/dev/null && break; sleep 0.1; done
xdotool key Tab
sleep 0.8
xdotool key Tab
sleep 0.8
xdotool key shift+Tab
wait "$listener" || true
heard=$(grep -v listening "$work/focus" || true)
[ "$(grep -c . <<<"$heard")" -ge 3 ] || { echo "focus events: $heard"; exit 1; }
grep -qx "push button|Start" <<<"$heard" || { echo "Start was not heard: $heard"; exit 1; }
grep -qx "push button|Exit" <<<"$heard" || { echo "Exit was not heard: $heard"; exit 1; }

# The lesson page, then the first key drill, whose text is read out.
xdotool key shift+Tab  # back to the name field
open_first_lesson "ann lee"
tree=$(named lesson)
grep -q "^page tab|" <<<"$tree" || grep -q "^push button|Studying" <<<"$tree" ||
  { echo "no tabs on the lesson page"; echo "$tree"; exit 1; }
key_introduction "f j d k"
tree=$(named drill)
first=$(lines e01k1.txt | head -n 1)
grep -qF -- "$first" <<<"$tree" || { echo "the drill's text is not read out: $first"; echo "$tree"; exit 1; }
shot screen_reader_drill
quit_tutor "$out"
echo "screen reader: ok"
