#!/usr/bin/env bash
# Installs the Debian packages the game, its asset generators, tests and benchmarks need.
# A warm machine skips apt entirely: every package is checked with dpkg first.
#   scripts/install-deps.sh [--windows]   (--windows: also the Windows cross build and Wine)
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config libgtest-dev
  # graphics, input, timers, datafiles (ships the dat tool)
  liballegro4-dev
  # the keyboard layout and the monitors, asked of the X server; scaling the picture to them
  libx11-dev libxrandr-dev libpixman-1-dev
  # sound
  libsdl2-mixer-dev libopenmpt-dev openmpt123
  # asset generation: pictures, glyphs, JPEG encoding
  libcairo2-dev libfreetype-dev fonts-dejavu-core libjpeg62-turbo-dev
  # reference decoders and stream makers for tests and benchmarks
  libturbojpeg0-dev libjpeg-turbo-progs libstb-dev
  # sanitizers and fuzzing
  clang-14 libclang-rt-14-dev
  # playing the game under a virtual X server
  xvfb xdotool imagemagick x11-utils x11-xkb-utils
  # a desktop's window manager, for the game in front of and behind other windows
  openbox wmctrl
  # the Debian package (cpack calls dpkg-shlibdeps and file) and its checks
  dpkg-dev file lintian desktop-file-utils appstream
)

# The Windows build: the cross compiler, and Wine to play the result, also on a desktop with a
# window manager that the test drives.
[ "${1:-}" = --windows ] && packages+=(g++-mingw-w64-x86-64 wine64 openbox wmctrl)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
