#!/usr/bin/env bash
# A learner whose desktop speaks another language (LANG, LANGUAGE) starts the tutor with that
# language's layout set in the X server (setxkbmap): the tutor speaks the language, recommends
# its course, and the learner types the first exercises, the key introduction and both key
# drills. The learner's files must then hold that course's results.
# Arguments: the programs' folder, the XKB layout, the locale, the language code, the course
# file, the prefix of its lesson files, the first lesson's new keys and the learner's name.
set -euo pipefail
bin=$1 xkb=$2 locale=$3 code=$4 course=$5 prefix=$6 keys=$7 learner=$8
. "$(dirname "$0")/lib.sh"
script_home
command -v setxkbmap >/dev/null || { echo "setxkbmap is missing (package x11-xkb-utils)"; exit 1; }

# The X server keeps its layout for the scripts after this one.
layout=$(setxkbmap -query | awk '/^layout:/ {print $2}')
trap '[ -n "$pid" ] && { kill "$pid"; sleep 1; kill -9 "$pid"; } 2>/dev/null; setxkbmap "${layout:-us}"; rm -rf "$work"' EXIT
setxkbmap "$xkb"
# The language from LANG and LANGUAGE; characters as UTF-8 (xdotool types the learner's
# accented letters), whether or not the machine has the locale.
{ export LANG=$locale.UTF-8 LANGUAGE=${locale%%_*} LC_CTYPE=C.UTF-8; } 2>/dev/null
unset LC_ALL LC_MESSAGES

info() { "$bin/learnerinfo" --language "$code" "$learner" "$@"; }
fail() {
  echo "$1"
  local id
  id=$(basename "$course" .cnt | tr '[:lower:]' '[:upper:]')
  info ContentsFile "Crs.$id.Chapter" "Crs.$id.Exercise" || true
  cat "$out"
  exit 1
}

start_tutor "$out"
shot "${code}_login"
open_first_lesson "$learner"
no_boxes "$pid" || exit 1
shot "${code}_lesson"

# 1.1 and 1.2: the key introduction and the two key drills.
shot_prefix=${code}_ first_exercises "$keys" "${prefix}01k1.txt" "${prefix}01k2.txt"
quit_tutor "$out" || exit 1

first_exercises_kept "$code" "$course"
for k in $keys; do
  grep -q "^key $k presses=[1-9]" <<<"$report" || fail "no presses of $k"
done
echo "$code first lesson: ok"
