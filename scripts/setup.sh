#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Idempotent: packages already present are skipped; apt-get update runs at most once.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev libxkbcommon-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libusb-1.0-0-dev
  fonts-liberation2 fontconfig
  xvfb xauth socat
  clang libclang-rt-14-dev clang-format
  umockdev libumockdev-dev
  mingw-w64 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64
  imagemagick
  dpkg-dev file lintian desktop-file-utils
  ansible-core
  appstream
  prometheus python3-prometheus-client curl
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
