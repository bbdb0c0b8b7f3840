#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and running Halcyra need.
# Does nothing when all of them are already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools qt6-svg-dev libqt6svg6 libqt6svgwidgets6
  qt6-pdf-dev  # the print panel's preview
  libgl-dev libxkbcommon-dev
  libxcb1-dev  # whether the X11 desktop composites translucent windows
  libxml2-dev libssl-dev libplist-dev libidn2-dev libcurl4-openssl-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth fonts-dejavu-core xdotool
  imagemagick poppler-utils python3-pyftpdlib
  libxml2-utils xsltproc planner-data
  python3-icalendar  # the tests read the exported calendars back with it
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
