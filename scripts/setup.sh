#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the test data need.
# Does nothing when all of them are already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libosmesa6-dev libglu1-mesa-dev mesa-utils
  libfreetype-dev libfontconfig-dev fonts-liberation2 fonts-dejavu-core fonts-wqy-zenhei
  libjpeg62-turbo-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  libpng-dev libgif-dev pngcheck libpng-tools gifsicle giflib-tools
  xdg-utils
  libimagequant-dev
  libsixel-examples gdk-pixbuf-tests assimp-testmodels libsdl2-image-tests
  gnuplot-nox
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
