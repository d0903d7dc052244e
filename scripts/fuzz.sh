#!/usr/bin/env bash
# Fuzzes the image readers and the history snapshot reader with libFuzzer,
# one target after the other at the lowest priority, each for a fixed time,
# and prints the executions and findings of every target.
#
#   scripts/fuzz.sh [seconds per target] [target ...]     (default 300 s, every target)
#   scripts/fuzz.sh replay [target ...]                   each target once over its inputs
#
# The programs are built with clang in build-fuzz/ (CC=clang CXX=clang++,
# -DPIXORA_FUZZ=ON). Each target starts from the sample corpus folders it
# names and its regression inputs in tests/data/fuzz/<target>/; what it
# learns is kept in build-fuzz/fuzz-corpus/<target>/, and what it finds
# (crash-*, leak-*, timeout-*, oom-*) in build-fuzz/fuzz-findings/<target>/.
# A finding, once fixed, belongs in tests/data/fuzz/<target>/, where the
# replay test of every build feeds it to the reader again.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz
mode=fuzz
seconds=300
if [[ ${1:-} == replay ]]; then
  mode=replay
  shift
elif [[ ${1:-} =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi

if [[ ! -f $build/build.ninja ]]; then
  CC=clang CXX=clang++ cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXORA_FUZZ=ON \
    -DPIXORA_BUILD_TESTS=OFF -DPIXORA_BUILD_BENCH=OFF >/dev/null
fi
nice -n 19 cmake --build $build --target fuzz_all -j1 >/dev/null

targets=("$@")
if ((${#targets[@]} == 0)); then
  for bin in $build/fuzz/fuzz_*; do [[ -f $bin && -x $bin ]] && targets+=("${bin##*/fuzz_}"); done
fi

# Leaks are findings; a single allocation above the largest image we accept
# (1 GiB of pixels) is one too.
if [[ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]]; then
  export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
fi
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0:${ASAN_OPTIONS:-}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}
limits=(-rss_limit_mb=3072 -malloc_limit_mb=1100 -timeout=20)

if [[ $mode == replay ]]; then
  printf '%-8s %8s %8s  %s\n' target inputs seconds result
else
  printf '%-8s %12s %8s %8s %8s %8s %8s\n' target executions seconds crashes leaks timeouts ooms
fi
status=0
for t in "${targets[@]}"; do
  bin=$build/fuzz/fuzz_$t
  [[ -x $bin ]] || { echo "no fuzz target $t" >&2; exit 2; }
  mapfile -t seeds < <("$bin" --seeds)
  existing=()
  for s in "${seeds[@]}"; do [[ -d $s ]] && existing+=("$s"); done
  log=$build/fuzz-logs/$t.log
  mkdir -p "$build/fuzz-logs"
  if [[ $mode == replay ]]; then
    files=()
    for s in "${existing[@]}"; do
      while IFS= read -r -d '' f; do files+=("$f"); done < <(find "$s" -type f -print0)
    done
    start=$SECONDS
    if nice -n 19 "$bin" "${limits[@]}" "${files[@]}" >"$log" 2>&1; then result=ok; else result="FAULT, see $log"; status=1; fi
    printf '%-8s %8d %8d  %s\n' "$t" "${#files[@]}" $((SECONDS - start)) "$result"
    continue
  fi
  work=$build/fuzz-corpus/$t
  findings=$build/fuzz-findings/$t
  mkdir -p "$work" "$findings"
  stamp=$findings/.started
  touch "$stamp"
  start=$SECONDS
  # One job at a time, and on past a finding so that the time box is used
  # in full; the findings are counted from the files left behind.
  nice -n 19 "$bin" "${limits[@]}" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$seconds" -artifact_prefix="$findings/" -print_final_stats=1 \
    "$work" "${existing[@]}" >"$log" 2>&1 || true
  runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  count() { find "$findings" -maxdepth 1 -name "$1-*" -newer "$stamp" | wc -l; }
  c=$(count crash) l=$(count leak) to=$(count timeout) o=$(count oom)
  printf '%-8s %12s %8d %8d %8d %8d %8d\n' "$t" "${runs:-0}" $((SECONDS - start)) "$c" "$l" "$to" "$o"
  ((c + l + to + o == 0)) || status=1
done
exit $status
