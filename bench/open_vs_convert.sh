#!/usr/bin/env bash
# Times opening a 12 MP (4000 x 3000) file of each format the program reads
# beyond BMP/PNG/GIF against ImageMagick's convert decoding the same file,
# in the same run, and shows the memory each open takes beyond the document.
#
#   bench/open_vs_convert.sh [build folder]
#
# Each figure is the best of three. Ratios below 1 mean we are faster. The
# memory column is the growth of the peak resident size during one open,
# less the document itself, in document sizes (file pages mapped for reading
# count too).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(readlink -f "${1:-$here/../build}")
opener=$build/out/bench_open_files
[ -x "$opener" ] || { echo "bench_open_files not found in $build/out (build the target first)"; exit 1; }
im=$(command -v convert-im6.q16 || command -v magick || command -v convert-im6 || true)
[ -n "$im" ] || { echo "ImageMagick's convert is not installed"; exit 1; }
echo "ImageMagick: $im ($("$im" -version | head -1))"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
echo "generating 4000 x 3000 files in $work"
"$im" -seed 7 -size 1000x750 plasma:fractal -resize 4000x3000! -attenuate 0.4 +noise Gaussian \
    -type TrueColor -depth 8 src.ppm
"$im" src.ppm -alpha set -channel A -evaluate set 80% +channel src_a.png
"$im" src.ppm -compress LZW tiff-rgb8-lzw.tif
"$im" src.ppm -depth 16 -compress Zip tiff-rgb16-deflate.tif
"$im" src.ppm -colorspace CMYK -compress LZW tiff-cmyk8-lzw.tif
"$im" src.ppm -define tiff:tile-geometry=256x256 -compress LZW tiff-tiled-lzw.tif
"$im" src.ppm -colorspace Gray -depth 32 -define quantum:format=floating-point -compress Zip tiff-grey-float.tif
cp src.ppm ppm-raw.ppm
"$im" src.ppm -compress RLE tga-rle.tga
"$im" src.ppm pcx-24.pcx
"$im" src.ppm -compress RLE sgi-rle.sgi
"$im" src.ppm psd-rgb8.psd
"$im" src_a.png psd-rgba8.psd
"$im" src.ppm -quality 95 jpeg-q95.jpg

best() { # best of three wall times of a command, in seconds
    local b=999999 t s e
    for _ in 1 2 3; do
        s=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || { echo nan; return; }
        e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc -l)
        b=$(echo "if ($t < $b) $t else $b" | bc -l)
    done
    printf '%.3f' "$b"
}

printf '\n%-22s %8s %8s %8s %10s\n' file pixora convert ratio "memory"
for f in tiff-rgb8-lzw.tif tiff-rgb16-deflate.tif tiff-cmyk8-lzw.tif tiff-tiled-lzw.tif tiff-grey-float.tif \
         ppm-raw.ppm tga-rle.tga pcx-24.pcx sgi-rle.sgi psd-rgb8.psd psd-rgba8.psd jpeg-q95.jpg; do
    line=$("$opener" "$f")
    tp=$(echo "$line" | awk '{print $(NF-3)}')
    mem=$(echo "$line" | awk '{print $(NF-1)}')
    tc=$(best "$im" "$f[0]" null:)
    ratio=$(printf '%.2f' "$(echo "$tp / $tc" | bc -l)")
    printf '%-22s %8s %8s %8s %10s\n' "$f" "$tp" "$tc" "$ratio" "$mem"
done
