#!/usr/bin/env bash
# Times this program's Gaussian blur (bench_quick, radius 8, its kernel
# trimmed at 1/510) against libvips' `vips gaussblur 8` and ImageMagick's
# `convert -blur 0x8` on the same generated 4000 x 3000 image, one after
# the other in one run. The other tools' times are whole-process times less
# the time the same tool takes to read and write the file unchanged.
# Prints the best of a few runs and the ratios theirs / ours.
#
# Usage: [RUNS=n] bench/quick_vs_others.sh [path/to/bench_quick]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/bench/time_tools.sh"
start_comparison bench_quick "${1:-}"

vips_blur=$(less "$(best_ms vips gaussblur "$work/in.v" "$work/out.v" 8)" "$vips_io")
im_blur=$(less "$(best_ms "$CONVERT" "$work/in.ppm" -blur 0x8 "$work/out.ppm")" "$im_io")
ours=$("$bench" --benchmark_filter='^BM_GaussianBlur/8/' --benchmark_repetitions="$runs" \
    --benchmark_format=csv 2>/dev/null | awk -F, '
        { name = $1; gsub(/"/, "", name) }
        name ~ /^BM_GaussianBlur\/8\// && name !~ /_(mean|median|stddev|cv)$/ {
            if (best == "" || $3 + 0 < best) best = $3 + 0 }
        END { printf "%.0f", best }')

printf '%-28s %8s %8s\n' "gaussian blur radius 8" "ms" "ratio"
printf '%-28s %8s %8s\n' "ours (bench_quick)" "$ours" "1.00"
printf '%-28s %8s %8s\n' "vips gaussblur 8" "$vips_blur" "$(ratio "$vips_blur" "$ours")"
printf '%-28s %8s %8s\n' "convert -blur 0x8" "$im_blur" "$(ratio "$im_blur" "$ours")"
echo "(their times less reading and writing the file; ratio > 1: ours is faster)"

# Whole processes, reading and writing included: the command line's
# --apply against the same two tools.
convert_bin=${PIXORA_CONVERT:-$(dirname "$bench")/pixora-convert}
[[ -x $convert_bin ]] || convert_bin=$here/build/out/pixora-convert
if [[ -x $convert_bin ]]; then
    ours_whole=$(best_ms "$convert_bin" --apply gaussian-blur:8 "$work/in.ppm" -o "$work/out.bmp")
    ours_io=$(best_ms "$convert_bin" "$work/in.ppm" -o "$work/out.bmp")
    vips_whole=$(best_ms vips gaussblur "$work/in.v" "$work/out.v" 8)
    im_whole=$(best_ms "$CONVERT" "$work/in.ppm" -blur 0x8 "$work/out.ppm")
    echo
    printf '%-40s %8s %8s\n' "whole process, radius 8" "ms" "ratio"
    printf '%-40s %8s %8s\n' "pixora-convert --apply gaussian-blur:8" "$ours_whole" "1.00"
    printf '%-40s %8s %8s\n' "  (its reading and writing alone)" "$ours_io" ""
    printf '%-40s %8s %8s\n' "vips gaussblur 8" "$vips_whole" "$(ratio "$vips_whole" "$ours_whole")"
    printf '%-40s %8s %8s\n' "convert -blur 0x8" "$im_whole" "$(ratio "$im_whole" "$ours_whole")"
fi
