#!/usr/bin/env bash
# The other tools the comparison scripts time against (libvips' vips and
# ImageMagick's convert), from Debian. Only the benchmarks need them.
set -euo pipefail
missing=()
command -v vips >/dev/null || missing+=(libvips-tools)
[[ -x /usr/bin/convert ]] || missing+=(imagemagick)
if ((${#missing[@]})); then
    sudo=$([[ $(id -u) -eq 0 ]] || echo sudo)
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
