# Timing helpers the comparison scripts share (sourced, not run).
# Set `runs` before calling best_ms (start_comparison sets it).

best_ms() {  # best wall-clock time of `runs` runs of a command, in ms
    local best=""
    for ((i = 0; i < runs; ++i)); do
        local t0 t1 ms
        t0=$(date +%s%N)
        "$@" >/dev/null 2>&1
        t1=$(date +%s%N)
        ms=$(((t1 - t0) / 1000000))
        if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
    done
    echo "$best"
}
less() { echo $(($1 > $2 ? $1 - $2 : 0)); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# Best real time in ms of one Google Benchmark case over `runs` repetitions.
bench_best_ms() {  # bench_best_ms program case-name
    "$1" --benchmark_filter="^$2(/|$)" --benchmark_repetitions="$runs" --benchmark_format=csv 2>/dev/null |
        awk -F, -v want="$2" '
            { name = $1; gsub(/"/, "", name); sub(/(\/process_time)?(\/real_time)?$/, "", name) }
            name == want { if (best == "" || $3 + 0 < best) best = $3 + 0 }
            END { printf "%.0f", best }'
}

# What every comparison starts with: the benchmark program (the script's
# first argument or build/out/NAME), ImageMagick's convert and vips, the
# same 4000 x 3000 noise image for both tools in $work (removed at exit),
# and the time each tool takes just to read and write it (vips_io, im_io).
start_comparison() {  # start_comparison NAME [path]; needs $here
    bench=${2:-$here/build/out/$1}
    [[ -x $bench ]] || { echo "$1 not found at $bench (build it, or pass its path)" >&2; exit 1; }
    CONVERT=${CONVERT:-$([[ -x /usr/bin/convert ]] && echo /usr/bin/convert || echo convert)}
    command -v vips >/dev/null || { echo "vips not found (bench/setup.sh installs it)" >&2; exit 1; }
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    "$CONVERT" -size 4000x3000 xc:gray50 -seed 7 +noise Random -depth 8 "$work/in.ppm"
    vips copy "$work/in.ppm" "$work/in.v"
    runs=${RUNS:-3}
    vips_io=$(best_ms vips copy "$work/in.v" "$work/out.v")
    im_io=$(best_ms "$CONVERT" "$work/in.ppm" "$work/out.ppm")
}
