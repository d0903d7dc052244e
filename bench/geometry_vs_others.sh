#!/usr/bin/env bash
# Times this program's turn by 45 degrees of a 4000 x 3000 image and its
# stretched resize to 8000 x 6000 (bench_geometry) against ImageMagick
# (`convert -rotate 45`, `convert -resize 200% -filter Triangle`) and
# libvips (`vips rotate 45`, `vips resize 2 --kernel linear`) on the same
# generated image, one after the other in one run. The other tools' times
# are whole-process times less the time the same tool takes to read and
# write the file unchanged. Prints the best of a few runs and the ratios
# theirs / ours. bench/setup.sh installs the two tools.
#
# Usage: [RUNS=n] bench/geometry_vs_others.sh [path/to/bench_geometry]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/bench/time_tools.sh"
start_comparison bench_geometry "${1:-}"
vips_rot=$(less "$(best_ms vips rotate "$work/in.v" "$work/out.v" 45)" "$vips_io")
im_rot=$(less "$(best_ms "$CONVERT" "$work/in.ppm" -rotate 45 "$work/out.ppm")" "$im_io")
vips_big=$(less "$(best_ms vips resize "$work/in.v" "$work/out.v" 2 --kernel linear)" "$vips_io")
im_big=$(less "$(best_ms "$CONVERT" "$work/in.ppm" -filter Triangle -resize 200% "$work/out.ppm")" "$im_io")
ours_rot=$(bench_best_ms "$bench" BM_Rotate45)
ours_big=$(bench_best_ms "$bench" BM_ResizeStretch8000x6000)

row() { printf '%-34s %8s %8s\n' "$@"; }
row "rotate 45 degrees, 4000 x 3000" "ms" "ratio"
row "ours (bench_geometry)" "$ours_rot" "1.00"
row "vips rotate 45" "$vips_rot" "$(ratio "$vips_rot" "$ours_rot")"
row "convert -rotate 45" "$im_rot" "$(ratio "$im_rot" "$ours_rot")"
row "resize to 8000 x 6000, bilinear" "ms" "ratio"
row "ours (bench_geometry)" "$ours_big" "1.00"
row "vips resize 2 --kernel linear" "$vips_big" "$(ratio "$vips_big" "$ours_big")"
row "convert -resize 200% Triangle" "$im_big" "$(ratio "$im_big" "$ours_big")"
echo "(their times less reading and writing the file; ratio > 1: ours is faster)"
