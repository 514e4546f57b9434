#!/usr/bin/env bash
# Natively under Wayland: a learner whose desktop speaks German and whose compositor's keyboard is
# German (QWERTZ) starts the tutor. It draws through Qt's Wayland platform, detects the German
# layout, recommends the German course, and the learner types its first exercises; the learner's
# files then hold the German course's results.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wayland_lib.sh"
script_home
plug_keyboard de
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
[ "$(sway_windows "$pid" shell)" = xdg_shell ] || fail "the tutor did not draw natively"
shot wayland_login
open_first_lesson "jana krüger"
no_boxes "$pid" || exit 1
shot wayland_german_lesson

# 1.1 and 1.2: the key introduction and the two key drills.
shot_prefix=wayland_german_ first_exercises "f j d k" g01k1.txt g01k2.txt
quit_tutor "$out" || exit 1

first_exercises_kept DEU deu.cnt
echo "German first lesson under Wayland: ok"
