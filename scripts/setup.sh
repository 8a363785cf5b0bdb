#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tunarium Pro needs.
# Idempotent: packages already present are left as they are.
#   --fuzz  also what the fuzz targets need: clang with libFuzzer (scripts/fuzz.sh passes it)
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev
  qt6-multimedia-dev qt6-charts-dev libqt6opengl6-dev
  libsqlite3-dev sqlite3
  libpq-dev postgresql
  libcdio-dev libdiscid-dev
  libtag1-dev
  libgtest-dev libgmock-dev
  xvfb xauth fonts-dejavu-core xdotool imagemagick
  poppler-utils
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev llvm-14)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
