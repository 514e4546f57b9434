#!/usr/bin/env bash
# A new learner takes the first exercise of the English course, opens the statistics from the
# lesson page, asks for the progress report and saves it as PDF from the print preview, all by
# keyboard. The PDF must pass qpdf's check and hold one page; the learner's results are then
# exported as CSV from the command line.
set -euo pipefail
bin=$1
. "$(dirname "$0")/lib.sh"
script_home
# The save dialog suggests a name in the documents folder; the script types its own.
cd "$work"
pdf=$work/Report.pdf

# Waits until process $pid shows at least $1 windows and focuses the newest one (there is no
# window manager to do it).
focus_window() {
  local w=""
  for _ in $(seq 100); do
    [ "$(xdotool search --onlyvisible --pid "$pid" | wc -l)" -ge "$1" ] && break
    sleep 0.1
  done
  sleep 1.5
  w=$(xdotool search --onlyvisible --pid "$pid" | tail -n 1)
  xdotool windowfocus --sync "$w"
  sleep 0.5
}

start_tutor "$out"
open_first_lesson "ann lee"
# 1.1: the introduction page, then each new key pressed as it is presented.
xdotool key Return
sleep 2
xdotool key Return
sleep 2
for k in f j d k; do
  xdotool type --delay 100 "$k"
  sleep 1.3
done
sleep 3
no_boxes "$pid" || exit 1

xdotool key alt+a  # the lesson page's statistics button
sleep 3
no_boxes "$pid" || exit 1
xdotool key 3  # the courses page, where the progress report's button is
sleep 1
xdotool key alt+p  # the progress report in its print preview
focus_window 2
xdotool key alt+s  # save
focus_window 3
xdotool key ctrl+a
xdotool type --delay 20 "$pdf"
xdotool key Return
for _ in $(seq 100); do
  [ -s "$pdf" ] && break
  sleep 0.1
done
focus_window 2
xdotool key Escape  # closes the preview
sleep 2
no_boxes "$pid" || exit 1
xdotool windowfocus --sync "$win"
quit_tutor "$out" || exit 1

[ -s "$pdf" ] || { echo "no PDF written"; cat "$out"; exit 1; }
qpdf --check "$pdf" >/dev/null || { echo "qpdf finds faults"; qpdf --check "$pdf"; exit 1; }
pages=$(qpdf --show-npages "$pdf")
[ "$pages" = 1 ] || { echo "the report has $pages pages"; exit 1; }

"$bin/keyscholar" --export-csv "$work/results.csv" "Ann Lee" >/dev/null
head -n 1 "$work/results.csv" | grep -q "^number,source,course," || { echo "no CSV header"; exit 1; }
grep -q ",BKM,ENG,1,1," "$work/results.csv" || { echo "no row of 1.1"; cat "$work/results.csv"; exit 1; }
# A file named in another script, in a folder named so, gets exactly that name.
mkdir -p "$work/Ёлка Αναφορά"
"$bin/keyscholar" --export-csv "$work/Ёлка Αναφορά/Отчёт.csv" "Ann Lee" >/dev/null
grep -q ",BKM,ENG,1,1," "$work/Ёлка Αναφορά/Отчёт.csv" || { echo "no CSV under its name"; ls -R "$work"; exit 1; }
echo "progress report: ok"
