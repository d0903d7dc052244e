#!/usr/bin/env bash
# Every format the program writes, read back by programs of others:
# ImageMagick's identify for all of them, tiffinfo (libtiff) for TIFF and
# webpinfo (libwebp) for WebP. A partly transparent picture goes through
# pixora-convert into each format; the reader must name the format, the
# size must match and, where the format keeps it, the transparency too.
# Usage: scripts/check-writers.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
convert_bin="$build/out/pixora-convert"
[ -x "$convert_bin" ] || { echo "check-writers: $convert_bin is missing" >&2; exit 1; }
for tool in identify compare tiffinfo webpinfo; do
  command -v "$tool" >/dev/null || { echo "check-writers: $tool is missing" >&2; exit 1; }
done
# ImageMagick's own convert (the Debian package's), whatever else is on the path.
im_convert=/usr/bin/convert
[ -x "$im_convert" ] || im_convert=convert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# 40 x 30 pixels, a colour gradient, alpha 50 % (its mean is the check).
"$im_convert" -size 40x30 gradient:'#ff8000-#0040ff' -alpha set -channel A -evaluate set 50% +channel -depth 8 \
  "$work/source.png"
source_alpha=$(identify -format '%[fx:mean.a]' "$work/source.png")

failed=0
fail() { echo "FAIL $1: $2"; failed=$((failed + 1)); }

# extension | what identify calls it | whether the transparency is kept | converter options
checks=(
  "bmp|BMP|yes|--bmp-bits 32"
  "jpg|JPEG|no|"
  "png|PNG|yes|"
  "gif|GIF|no|"
  "tif|TIFF|yes|"
  "webp|WEBP|yes|--webp-quality 80"
  "tga|TGA|yes|"
  "ppm|PPM|no|"
  "pgm|PGM|no|"
  "pbm|PBM|no|"
  "sgi|SGI|yes|"
  "bw|SGI|no|"
  "pcx|PCX|no|"
  "ico|ICO|yes|"
  "psd|PSD|yes|"
)
for row in "${checks[@]}"; do
  IFS='|' read -r ext name alpha options <<<"$row"
  out="$work/picture.$ext"
  # shellcheck disable=SC2086
  if ! "$convert_bin" $options "$work/source.png" -o "$out" >/dev/null 2>"$work/err"; then
    fail "$ext" "pixora-convert: $(cat "$work/err")"; continue
  fi
  # The first picture of the file (a Photoshop file also holds its layer).
  if ! got=$(identify -format '%m %w %h\n' "$out[0]" 2>"$work/err"); then
    fail "$ext" "identify: $(cat "$work/err")"; continue
  fi
  [ "$got" = "$name 40 30" ] || { fail "$ext" "identify says '$got', not '$name 40 30'"; continue; }
  if [ "$alpha" = yes ]; then
    mean=$(identify -format '%[fx:mean.a]' "$out[0]")
    awk -v a="$mean" -v b="$source_alpha" 'BEGIN { d = a - b; exit !(d < 0.02 && d > -0.02) }' ||
      { fail "$ext" "mean alpha $mean, the source's $source_alpha"; continue; }
  fi
  echo "ok   $ext: $got"
done

# libtiff's own reading: RGB with an unassociated alpha channel, LZW.
if tiffinfo "$work/picture.tif" >"$work/tiffinfo" 2>&1; then
  grep -q 'Compression Scheme: LZW' "$work/tiffinfo" || fail tif "tiffinfo: not LZW"
  grep -q 'Samples/Pixel: 4' "$work/tiffinfo" || fail tif "tiffinfo: not four samples"
  grep -qi 'Extra Samples: 1<unassoc-alpha>' "$work/tiffinfo" || fail tif "tiffinfo: no unassociated alpha"
else
  fail tif "tiffinfo: $(cat "$work/tiffinfo")"
fi
# libwebp's own reading: a lossy file with alpha, and a lossless one.
"$convert_bin" --webp-lossless "$work/source.png" -o "$work/lossless.webp" >/dev/null
webpinfo "$work/picture.webp" >"$work/webpinfo" 2>&1 || fail webp "webpinfo: $(cat "$work/webpinfo")"
grep -q 'ALPH' "$work/webpinfo" || fail webp "webpinfo: no alpha chunk in the lossy file"
webpinfo "$work/lossless.webp" >"$work/webpinfo" 2>&1 || fail webp "webpinfo: $(cat "$work/webpinfo")"
grep -q 'VP8L' "$work/webpinfo" || fail webp "webpinfo: the lossless file is not VP8L"
differing=$(compare -metric AE "$work/lossless.webp" "$work/source.png" null: 2>&1 || true)
[ "$differing" = 0 ] || fail webp "the lossless file differs from its source in $differing pixels"

checked=$(( ${#checks[@]} + 2 ))
echo "$((checked - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
