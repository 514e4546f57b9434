#!/usr/bin/env bash
# Installed into a staging prefix and moved elsewhere, the tutor finds its installation beside
# its own folder and reaches the login page; the menu entries, metainfo, icons and manual pages
# are where desktops look for them and pass their validators.
set -euo pipefail
bin=$1
src=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
script_home
fail() { echo "$*"; exit 1; }

cmake --install "$bin/.." --prefix "$work/stage" >"$out" || { cat "$out"; exit 1; }
# Nothing of the prefix is kept in the programs: the moved tree works as well.
mv "$work/stage" "$work/moved"
prefix=$work/moved
share=$prefix/share
unset KEYSCHOLAR_ROOT
ready=$(KEYSCHOLAR_READY_PROBE=1 QT_QPA_PLATFORM=xcb timeout 60 "$prefix/bin/keyscholar" 2>"$out") ||
  { cat "$out"; fail "the installed tutor did not start"; }
echo "$ready" | grep -q '^ready .*Login' || { cat "$out"; fail "not at the login page: $ready"; }
[ -f "$data/LAB1.wks" ] || fail "no workstation file in the learners' folder"
"$prefix/bin/tapwatch" --version | grep -q '^tapwatch (Quillstroker Sidewatch) [0-9]' || fail "tapwatch does not run"

desktop-file-validate "$share"/applications/*.desktop
appstreamcli validate --no-net "$share/metainfo/org.quillstroker.Keyscholar.metainfo.xml" >"$out" ||
  { cat "$out"; fail "metainfo does not validate"; }
for id in org.quillstroker.Keyscholar org.quillstroker.Tapwatch; do
  grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "$id.desktop names another icon"
  [ -f "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon $id"
  for n in 16 22 24 32 48 64 128 256 512; do
    file "$share/icons/hicolor/${n}x$n/apps/$id.png" | grep -q "PNG image data, $n x $n," ||
      fail "no $n x $n icon $id"
  done
done
for state in watching paused off; do
  [ -f "$share/icons/hicolor/22x22/status/org.quillstroker.Tapwatch-$state.png" ] ||
    fail "no tray icon $state"
done
# The screenshots the metainfo shows are the project's own files.
for shot in $(grep -o 'screenshots/[a-z]*\.png' "$share/metainfo/org.quillstroker.Keyscholar.metainfo.xml"); do
  [ -f "$src/desktop/$shot" ] || fail "no $shot in desktop/"
done
for page in keyscholar tapwatch; do
  warnings=$(zcat "$share/man/man1/$page.1.gz" | groff -man -ww -z -Tutf8 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done
echo "install: ok"
