#!/usr/bin/env bash
# Times pixora-convert against ImageMagick's convert and libvips' vips copy
# on 4000 x 3000 images, and compares PNG output sizes.
#
#   bench/convert_vs_others.sh [path/to/pixora-convert]
#
# Each command runs three times into a new output file; the best wall time
# counts. (Replacing an existing file costs every tool an extra flush on
# ext4, which would only add noise.) Ratios below 1
# mean pixora-convert is faster (or its file smaller).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
pixora=${1:-$here/../build/out/pixora-convert}
[ -x "$pixora" ] || { echo "pixora-convert not found at $pixora (pass its path)"; exit 1; }
pixora=$(readlink -f "$pixora")

# ImageMagick's own program, not a wrapper script that may stand first on PATH.
find_convert() { command -v convert-im6.q16 || command -v magick || command -v convert-im6 || true; }
need=()
[ -n "$(find_convert)" ] || need+=(imagemagick)
command -v vips >/dev/null || need+=(libvips-tools)
if [ ${#need[@]} -gt 0 ]; then
    echo "installing ${need[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq && $sudo apt-get install -y -qq "${need[@]}" >/dev/null
fi
im=$(find_convert)
[ -n "$im" ] || { echo "ImageMagick's convert not found"; exit 1; }
echo "ImageMagick: $im ($("$im" -version | head -1))"
echo "libvips: $(vips --version)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "generating 4000 x 3000 test images in $work"
# A smooth fractal landscape with fine noise: compresses like a photograph.
"$im" -seed 7 -size 1000x750 plasma:fractal -resize 4000x3000! -attenuate 0.4 +noise Gaussian \
    -type TrueColor -depth 8 BMP3:in24.bmp
"$pixora" --bmp-bits 32 in24.bmp -o in32.bmp
"$im" in24.bmp in.png
"$im" in24.bmp -quality 95 in.jpg

best() { # best of three wall times, in seconds; the output never exists beforehand
    local b=999999 t out=${@: -1}
    out=${out#*:}
    out=${out%%[*}
    for _ in 1 2 3; do
        rm -f "$out"
        local s=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || { echo "FAILED: $*" >&2; echo "nan"; return; }
        local e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc -l)
        b=$(echo "if ($t < $b) $t else $b" | bc -l)
    done
    printf '%.3f' "$b"
}
ratio() { if [ "$2" = nan ] || [ "$1" = nan ]; then echo "n/a"; else printf '%.2f' "$(echo "$1 / $2" | bc -l)"; fi; }

printf '\n%-18s %9s %9s %9s %10s %10s\n' pair pixora convert vips "px/convert" "px/vips"
run_pair() { # name, input, output extension, pixora options, convert options, vips suffix
    local name=$1 in=$2 ext=$3 popts=$4 copts=$5 vsuffix=$6
    local tp tc tv
    tp=$(best "$pixora" $popts "$in" -o "px.$ext")
    tc=$(best "$im" "$in" $copts "im.$ext")
    tv=$(best vips copy "$in" "vips.$ext$vsuffix")
    printf '%-18s %9s %9s %9s %10s %10s\n' "$name" "$tp" "$tc" "$tv" "$(ratio "$tp" "$tc")" "$(ratio "$tp" "$tv")"
}

run_pair "BMP24->PNG" in24.bmp png "" "" ""
size_px24=$(stat -c %s px.png); size_im24=$(stat -c %s im.png); size_v24=$(stat -c %s vips.png 2>/dev/null || echo 0)
run_pair "BMP32->PNG" in32.bmp png "" "" ""
size_px32=$(stat -c %s px.png); size_im32=$(stat -c %s im.png)
run_pair "PNG->BMP" in.png bmp "--bmp-bits 24" "-type TrueColor -define bmp:format=bmp3" ""
run_pair "JPEG->JPEG q90" in.jpg jpg "--jpeg-quality 90" "-quality 90" "[Q=90]"
run_pair "PNG->JPEG q90" in.png jpg "--jpeg-quality 90" "-quality 90" "[Q=90]"

echo
echo "PNG sizes (bytes):"
printf '  from 24-bit BMP: pixora %s, convert %s, vips %s, pixora/convert %s\n' \
    "$size_px24" "$size_im24" "$size_v24" "$(ratio "$size_px24" "$size_im24")"
printf '  from 32-bit BMP: pixora %s, convert %s, pixora/convert %s\n' \
    "$size_px32" "$size_im32" "$(ratio "$size_px32" "$size_im32")"

echo
echo "BMP in and out against a plain copy:"
for b in 24 32; do
    tcp=$(best cp "in$b.bmp" copy.bmp)
    tpx=$(best "$pixora" --bmp-bits "$b" "in$b.bmp" -o "px$b.bmp")
    printf '  %s-bit: copy %s s, pixora-convert %s s, ratio %s\n' "$b" "$tcp" "$tpx" "$(ratio "$tpx" "$tcp")"
done
