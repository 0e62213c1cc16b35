#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test the program.
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libjpeg62-turbo-dev
  libsqlite3-dev
  qt6-charts-dev
  libqt6opengl6-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth imagemagick fonts-dejavu-core xdotool
  clang libclang-rt-14-dev clang-format
  desktop-file-utils systemd
  openbox
  x11-utils
  nettle-dev
  libmaxminddb-dev
  libgeoip-dev
  geoip-database
  geoip-bin
  famfamfam-flag-png
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
