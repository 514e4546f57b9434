#!/usr/bin/env bash
# The Debian package builds (scripts/package.sh: optimised build, CPack, lintian without errors)
# and holds the programs, their installation, the desktop files and the documents, with the
# dependencies the programs need when they run.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(scripts/package.sh)
fail() { echo "package: $*"; exit 1; }

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in usr/bin/keyscholar usr/bin/tapwatch \
  usr/share/keyscholar/Policy.dyn usr/share/keyscholar/QSNPath.ini \
  usr/share/keyscholar/language.eng usr/share/keyscholar/lessons/eng.cnt \
  usr/share/keyscholar/lessons/eng.wzd \
  usr/share/applications/org.quillstroker.Keyscholar.desktop \
  usr/share/applications/org.quillstroker.Tapwatch.desktop \
  usr/share/metainfo/org.quillstroker.Keyscholar.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/org.quillstroker.Keyscholar.svg \
  usr/share/icons/hicolor/48x48/apps/org.quillstroker.Keyscholar.png \
  usr/share/icons/hicolor/512x512/apps/org.quillstroker.Tapwatch.png \
  usr/share/man/man1/keyscholar.1.gz usr/share/man/man1/tapwatch.1.gz \
  usr/share/doc/keyscholar/copyright usr/share/doc/keyscholar/changelog.gz; do
  grep -qx "\./$f" <<<"$contents" || fail "no $f"
done
# Nothing of the build tree, the tests or the build tools is shipped.
! grep -E '/(tools|tests?|bench)/|contentc|wordgen|\.a$' <<<"$contents" || fail "build files shipped"

python3 tests/startup_layout.py build/release/bin/keyscholar apps/keyscholar/startup.order ||
  fail "usr/bin/keyscholar is not laid out for its start"

depends=$(dpkg-deb --field "$deb" Depends)
for d in libqt6widgets6 qt6-qpa-plugins qt6-wayland libssl3; do
  grep -q "\b$d\b" <<<"$depends" || fail "Depends lacks $d: $depends"
done
recommends=$(dpkg-deb --field "$deb" Recommends)
for d in libcurl4 libcanberra0; do
  grep -q "\b$d\b" <<<"$recommends" || fail "Recommends lacks $d: $recommends"
done
echo "package: ok ($deb)"
