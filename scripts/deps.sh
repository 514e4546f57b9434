#!/usr/bin/env bash
# Installs the Debian packages the build (and, with "test", the tests) need; does nothing when
# they are all present. Debian 12, as root or through sudo.
set -euo pipefail

build_pkgs="cmake ninja-build g++ pkg-config ccache qt6-base-dev libgtest-dev libbenchmark-dev
  libx11-dev libx11-xcb-dev libxtst-dev libxres-dev libxi-dev libxdamage-dev libxkbcommon-dev
  libxkbcommon-x11-dev libcurl4-openssl-dev libssl-dev libgif-dev libjpeg-dev zlib1g-dev
  libcanberra-dev fonts-dejavu-core libwayland-dev qt6-base-private-dev qt6-wayland linux-libc-dev
  libglib2.0-dev lld"
test_pkgs="xvfb xauth x11-xkb-utils xdotool trayer dbus-daemon poppler-utils qpdf python3"
# A private print scheduler and a PDF printer, for the printing test.
test_pkgs="$test_pkgs cups-daemon cups-client printer-driver-cups-pdf"
# The accessibility bus and a screen reader's library, for reading the tutor from outside.
test_pkgs="$test_pkgs at-spi2-core python3-pyatspi"
# GNOME's input-source settings, for following its layout switches.
test_pkgs="$test_pkgs gsettings-desktop-schemas"
# The Wayland tier: a headless compositor, typing and pictures.
test_pkgs="$test_pkgs sway wtype grim"
# The Debian package ("package") and the checks of the installed files ("test" too).
package_pkgs="dpkg-dev file lintian"
test_pkgs="$test_pkgs desktop-file-utils appstream groff-base $package_pkgs"
# The fuzz targets (scripts/fuzz.sh, "test" too): clang and its libFuzzer runtime.
fuzz_pkgs="clang libclang-rt-dev"
test_pkgs="$test_pkgs $fuzz_pkgs"

wanted=$build_pkgs
[ "${1:-}" = "test" ] && wanted="$wanted $test_pkgs"
[ "${1:-}" = "package" ] && wanted="$wanted $package_pkgs"
[ "${1:-}" = "fuzz" ] && wanted="$wanted $fuzz_pkgs"
# Profiling the tutor's start for its code layout (scripts/startup-order.sh).
[ "${1:-}" = "order" ] && wanted="$wanted valgrind xvfb xdotool python3"

missing=""
for p in $wanted; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
