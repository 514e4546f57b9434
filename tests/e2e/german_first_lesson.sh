#!/usr/bin/env bash
# A learner whose desktop speaks German (LANG, LANGUAGE) starts the tutor with the German layout
# set in the X server (setxkbmap de): the tutor speaks German, recommends the German course, and
# the learner types its first exercises, the key introduction and both key drills. The learner's
# files must then hold the German course's results.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
command -v setxkbmap >/dev/null || { echo "setxkbmap is missing (package x11-xkb-utils)"; exit 1; }

# The X server keeps its layout for the scripts after this one.
layout=$(setxkbmap -query | awk '/^layout:/ {print $2}')
trap '[ -n "$pid" ] && { kill "$pid"; sleep 1; kill -9 "$pid"; } 2>/dev/null; setxkbmap "${layout:-us}"; rm -rf "$work"' EXIT
setxkbmap de
# The language from LANG and LANGUAGE; characters as UTF-8 (xdotool types the learner's "ü"),
# whether or not the machine has the German locale.
{ export LANG=de_DE.UTF-8 LANGUAGE=de LC_CTYPE=C.UTF-8; } 2>/dev/null
unset LC_ALL LC_MESSAGES

info() { "$bin/learnerinfo" --language DEU "Jana Krüger" "$@"; }
fail() {
  echo "$1"
  info ContentsFile Crs.DEU.Chapter Crs.DEU.Exercise || true
  cat "$out"
  exit 1
}

start_tutor "$out"
shot german_login
open_first_lesson "jana krüger"
no_boxes "$pid" || exit 1
shot german_lesson

# 1.1 and 1.2: the key introduction and the two key drills.
shot_prefix=german_ first_exercises "f j d k" g01k1.txt g01k2.txt
quit_tutor "$out" || exit 1

german_first_exercises_kept
for k in f j d k; do
  grep -q "^key $k presses=[1-9]" <<<"$report" || fail "no presses of $k"
done
echo "German first lesson: ok"
