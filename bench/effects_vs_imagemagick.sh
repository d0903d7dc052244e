#!/usr/bin/env bash
# Times the effects engine (bench_effects) against ImageMagick's convert on a
# generated 4000 x 3000 image for the heavy effects: a 41 x 41 window mean
# (our blur radius 20), sharpen, 8 x 8 block pixelization (scale down and up)
# (also against our rough blur, its nearest match) and a 45 degree rotation. Prints the times and the ratio convert / ours.
#
# Usage: bench/effects_vs_imagemagick.sh [path/to/bench_effects]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
bench=${1:-$here/build/out/bench_effects}
if [[ ! -x $bench ]]; then
    echo "bench_effects not found at $bench (build it, or pass its path)" >&2
    exit 1
fi
# The packaged binary itself when it is there, so that no wrapper on PATH
# adds its own start-up time; CONVERT overrides.
if [[ -z ${CONVERT:-} ]]; then
    if [[ -x /usr/bin/convert ]]; then CONVERT=/usr/bin/convert; else CONVERT=convert; fi
fi
if ! "$CONVERT" -version 2>/dev/null | grep -q ImageMagick; then
    apt-get install -y imagemagick >/dev/null
    CONVERT=/usr/bin/convert
fi
convert() { "$CONVERT" "$@"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Random colour noise, stored uncompressed so reading and writing cost little.
convert -size 4000x3000 xc:gray50 -seed 7 +noise Random -depth 8 "$work/in.ppm"

# Best of RUNS wall-clock runs, in milliseconds. One run by default: the
# window mean of convert alone takes minutes.
runs=${RUNS:-1}
time_ms() {
    local best=""
    for ((i = 0; i < runs; ++i)); do
        local t0 t1
        t0=$(date +%s%N)
        "$@" >/dev/null 2>&1
        t1=$(date +%s%N)
        local ms=$(((t1 - t0) / 1000000))
        if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
    done
    echo "$best"
}

# Reading and writing the file alone, taken off convert's times.
io=$(time_ms convert "$work/in.ppm" "$work/out.ppm")

ours() {  # benchmark name -> mean wall time in ms
    "$bench" --benchmark_filter="^$1\$" --benchmark_min_time=0.5 --benchmark_format=csv 2>/dev/null |
        awk -F, -v n="\"$1\"" '$1 == n { printf "%.1f", $3 }'
}

printf '%-22s %12s %12s %8s\n' effect "convert ms" "ours ms" ratio
compare() {  # label, benchmark name, convert options...
    local label=$1 name=$2
    shift 2
    local theirs mine
    theirs=$(time_ms convert "$work/in.ppm" "$@" "$work/out.ppm")
    theirs=$((theirs > io ? theirs - io : 0))
    mine=$(ours "$name")
    printf '%-22s %12s %12s %8s\n' "$label" "$theirs" "$mine" \
        "$(awk -v a="$theirs" -v b="$mine" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')"
}

compare "blur 41x41 mean" "BM_Blur/20" -statistic Mean 41x41
compare "sharpen radius 1" "BM_Sharpen1" -sharpen 1x1
compare "pixelize 8x8" "BM_Pixelization8" -scale 12.5% -scale 800%
compare "rough blur 8x8" "BM_RoughBlur8" -scale 12.5% -scale 800%
compare "rotate 45" "BM_Rotate45" -background white -rotate 45
echo "(convert times exclude ${io} ms of reading and writing the file; ratio > 1: ours is faster)"
