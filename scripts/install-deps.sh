#!/usr/bin/env bash
# Installs what Pixora needs to build, test and run on Debian 12, skipping
# packages that are already there. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
  libpng-dev libjpeg62-turbo-dev libgif-dev libtiff-dev zlib1g-dev libwebp-dev
  libheif-dev libjxl-dev libheif-examples libjxl-tools
  libexiv2-dev liblcms2-dev libimage-exiftool-perl
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core fonts-liberation xdg-utils python3
  xvfb xauth x11-apps xclip imagemagick libvips-tools xdotool libtiff-tools webp
  qt6-wayland weston
  desktop-file-utils appstream dpkg-dev file gzip binutils parallel
  clang clang-14 libclang-rt-14-dev llvm-14
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
