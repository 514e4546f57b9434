#!/usr/bin/env bash
# Takes the screenshots of the software-centre listing (desktop/screenshots/) from the real tutor
# under its own Xvfb: the login page with a few learners, a lesson's exercises and a key drill
# with the on-screen keyboard. Builds build/run like scripts/run.sh, or uses the built folder
# given. Not part of the tests; run it again when the pages change and commit the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if [ "${2:-}" != "--inside" ]; then
  build=${1:-build/run}
  . scripts/lib.sh
  scripts/deps.sh test
  # xwd takes a window's picture; netpbm turns it into PNG.
  command -v xwd >/dev/null && command -v pnmtopng >/dev/null || {
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
      x11-apps netpbm >/dev/null
  }
  if [ -z "${1:-}" ]; then
    configure_build "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKS_BUILD_TESTS=OFF \
      -DKS_BUILD_BENCH=OFF
    cmake --build "$build" --target keyscholar tapwatch
  fi
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" "$0" "$build" --inside
fi

bin=$root/$1/bin
. tests/e2e/lib.sh
script_home
shots=$root/desktop/screenshots
mkdir -p "$shots"
shoot() { xwd -silent -id "$win" | xwdtopnm 2>/dev/null | pnmtopng >"$shots/$1.png"; }
tutor() { start_tutor "$out" /SCREENSHOTMODE; }

# Three learners register, so that the login page lists them; after the first, the tutor asks
# whether a new name is a new learner.
tutor
login "ann lee"
quit_tutor "$out"
for name in "ben carter" "chloe diaz"; do
  tutor
  login "$name"
  xdotool key Return
  sleep 3
  quit_tutor "$out"
done
tutor
xdotool key ctrl+a
xdotool type --delay 20 "ann"
sleep 1
shoot login
login "ann lee"
xdotool key Return  # the recommended course: its contents
sleep 3
xdotool key Return  # its first lesson
sleep 3
shoot lesson
xdotool key Return  # the introduction
sleep 2
xdotool key Return  # the new keys, each pressed as it is presented
sleep 2
for k in f j d k; do
  xdotool type "$k"
  sleep 1.3
done
sleep 2
xdotool key Return  # the key drill, half-way through its first group
sleep 2
xdotool type --delay 150 "fff dd"
sleep 1
shoot drill
quit_tutor "$out"
echo "screenshots in $shots"
