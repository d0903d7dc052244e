#!/usr/bin/env bash
# Times the effects engine (bench_effects) against ImageMagick's convert on a
# generated 4000 x 3000 image for the heavy effects: a 41 x 41 window mean
# (our blur radius 20), sharpen, 8 x 8 block pixelization (scale down and up,
# also set against our rough blur, its nearest match) and a 45 degree
# rotation. Prints the best times of a few runs and the ratio convert / ours.
#
# convert's window mean costs about a second per 12,000 pixels here, a
# quarter of an hour for the whole image, so by default it is timed on a
# 1000 x 750 crop and scaled by the area (16x); STAT_CROP=full times the
# whole image, STAT_CROP=WxH another crop.
#
# Usage: [RUNS=n] [STAT_CROP=...] bench/effects_vs_imagemagick.sh [path/to/bench_effects]
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

runs=${RUNS:-3}
time_ms() {  # best wall-clock time of `runs` runs of a command, in ms
    local n=$1 best=""
    shift
    for ((i = 0; i < n; ++i)); do
        local t0 t1
        t0=$(date +%s%N)
        "$@" >/dev/null 2>&1
        t1=$(date +%s%N)
        local ms=$(((t1 - t0) / 1000000))
        if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
    done
    echo "$best"
}

# convert's time for the options on a file, less reading and writing it.
theirs_on() {  # file, runs, options...
    local file=$1 n=$2
    shift 2
    local io t
    io=$(time_ms "$n" convert "$file" "$work/out.ppm")
    t=$(time_ms "$n" convert "$file" "$@" "$work/out.ppm")
    echo $((t > io ? t - io : 0))
}

ours() {  # benchmark name -> best wall time of five repetitions, in ms
    "$bench" --benchmark_filter="^$1(/|\$)" --benchmark_min_time=0.3 --benchmark_repetitions=5 \
        --benchmark_format=csv 2>/dev/null |
        awk -F, -v n="$1" '
            { name = $1; gsub(/"/, "", name) }
            (name == n || index(name, n "/") == 1) && name !~ /_(mean|median|stddev|cv)$/ {
                if (best == "" || $3 + 0 < best) best = $3 + 0
            }
            END { printf "%.1f", best }'
}

row() {  # label, theirs, ours
    printf '%-22s %14s %10s %8s\n' "$1" "$2" "$3" \
        "$(awk -v a="$2" -v b="$3" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')"
}

printf '%-22s %14s %10s %8s\n' effect "convert ms" "ours ms" ratio

crop=${STAT_CROP:-1000x750}
if [[ $crop == full ]]; then
    stat=$(theirs_on "$work/in.ppm" 1 -statistic Mean 41x41)
    note="whole image"
else
    convert "$work/in.ppm" -crop "$crop+0+0" +repage "$work/crop.ppm"
    cw=${crop%x*} ch=${crop#*x}
    part=$(theirs_on "$work/crop.ppm" 1 -statistic Mean 41x41)
    stat=$(awk -v t="$part" -v a=$((cw * ch)) 'BEGIN { printf "%d", t * 12000000 / a }')
    note="$part ms on a $crop crop, scaled by the area"
fi
row "blur 41x41 mean" "$stat" "$(ours BM_Blur/20)"
row "sharpen radius 1" "$(theirs_on "$work/in.ppm" "$runs" -sharpen 1x1)" "$(ours BM_Sharpen1)"
scale=$(theirs_on "$work/in.ppm" "$runs" -scale 12.5% -scale 800%)
row "pixelize 8x8" "$scale" "$(ours BM_Pixelization8)"
row "rough blur 8x8" "$scale" "$(ours BM_RoughBlur8)"
row "rotate 45" "$(theirs_on "$work/in.ppm" "$runs" -background white -rotate 45)" "$(ours BM_Rotate45)"
echo "(window mean: $note; convert times exclude reading and writing the file;"
echo " ratio > 1: ours is faster)"
