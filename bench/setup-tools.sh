#!/usr/bin/env bash
# Installs the other tools the comparison scripts time against (ImageMagick
# and libvips' command line) from Debian. They are not build dependencies.
set -euo pipefail
sudo=$([[ $(id -u) -eq 0 ]] && echo "" || echo sudo)
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends imagemagick libvips-tools
