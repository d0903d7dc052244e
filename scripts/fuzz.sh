#!/usr/bin/env bash
# Fuzzes the image readers, the history snapshot reader, the photo metadata
# path and the writers' round trips with libFuzzer, one target after the
# other at the lowest priority.
#
#   scripts/fuzz.sh [SECONDS] [TARGET ...]   each target for SECONDS (300), then
#                                            writes fuzz/REPORT.md
#   scripts/fuzz.sh --runs N [SECONDS] [TARGET ...]
#                                            each target for SECONDS and at
#                                            least N executions
#   scripts/fuzz.sh replay [TARGET ...]      each target once over its inputs
#   scripts/fuzz.sh ci [SECONDS] [TARGET ...]
#                                            every target from its seeds and
#                                            regression inputs, SECONDS (270)
#                                            shared among them; a finding
#                                            fails with the reproducer's path
#   scripts/fuzz.sh report                   writes fuzz/REPORT.md again
#
# The programs are built with clang in build-fuzz/ (CC=clang CXX=clang++,
# -DPIXORA_FUZZ=ON; configured here when missing). Each target starts from
# the sample corpus folders its row names, its regression inputs in
# tests/data/fuzz/<target>/ and the dictionary of its format; what it
# learns is kept in build-fuzz/fuzz-corpus/<target>/, what it finds
# (crash-*, leak-*, timeout-*, oom-*) in build-fuzz/fuzz-findings/<target>/
# (build-fuzz/ci-findings/<target>/ in ci mode),
# and the executions, time and coverage of every run in
# build-fuzz/fuzz-runs/<target>, from which the report is made. A finding,
# once fixed, belongs in tests/data/fuzz/<target>/, where the replay test of
# every build feeds it to its target again. A target with no runs in this
# build folder keeps its row and findings of the previous report, marked *.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${PIXORA_FUZZ_BUILD:-build-fuzz}
mode=fuzz
seconds=300
runs=0
case ${1:-} in
replay | report)
  mode=$1
  shift
  ;;
ci)
  mode=ci
  seconds=270
  shift
  ;;
--runs)
  runs=$2
  shift 2
  ;;
esac
if [[ $mode != replay && $mode != report && ${1:-} =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi

if [[ ! -f $build/build.ninja ]]; then
  CC=clang CXX=clang++ cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXORA_FUZZ=ON \
    -DPIXORA_BUILD_TESTS=OFF -DPIXORA_BUILD_BENCH=OFF >/dev/null
fi
targets=("$@")
if [[ $mode != report ]]; then
  # The programs of the targets named, or all of them.
  programs=(fuzz_all)
  ((${#targets[@]} == 0)) || programs=("${targets[@]/#/fuzz_}")
  nice -n 19 cmake --build $build --target "${programs[@]}" -j1 >/dev/null
fi

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
kinds=(crash leak timeout oom)

# The seed folders of a target that exist, and its dictionary option.
inputs_of() {
  local bin=$1 s dict
  inputs=()
  while IFS= read -r s; do [[ -d $s ]] && inputs+=("$s"); done < <("$bin" --seeds)
  dict=$("$bin" --dictionary)
  dictionary=()
  [[ -n $dict ]] && dictionary=(-dict="$dict")
  return 0
}

# The last executions count and coverage a libFuzzer log shows.
executions_in() { grep -aoE '^#[0-9]+' "$1" | tail -1 | tr -d '#' || true; }
edges_in() { grep -aoE 'cov: [0-9]+' "$1" | tail -1 | tr -dc '0-9' || true; }
count_findings() { find "$1" -maxdepth 1 -name "$2-*" "${@:3}" | wc -l; }

# The lines of the previous report about targets that have no runs in
# this build folder (run elsewhere), which the new report keeps.
earlier_lines() {
  local line t
  [[ -f fuzz/REPORT.md ]] || return 0
  while IFS= read -r line; do
    [[ $line =~ $1 ]] || continue
    t=${BASH_REMATCH[1]}
    [[ -f $build/fuzz-runs/$t ]] || echo "$line"
  done <fuzz/REPORT.md
}

write_report() {
  local report=fuzz/REPORT.md t file execs secs edges first=1 kind rows findings_before
  # Rows are marked * when they come from the previous report.
  rows=$(earlier_lines '^\| ([a-z0-9_]+)\*? \| [0-9?]' | sed -E 's/^\| ([a-z0-9_]+) \|/| \1* |/' |
    awk -F'|' 'NF == 8 {sub(/\* \|/, "* | ? |")} {print}')
  findings_before=$(earlier_lines '^- ([a-z0-9_]+), ')
  {
    echo "# Fuzzing report"
    echo
    echo "Written by \`scripts/fuzz.sh\` from the runs kept in \`$build/fuzz-runs/\`, $(date -u '+%Y-%m-%d %H:%M UTC')."
    echo "Each target ran under AddressSanitizer and UndefinedBehaviorSanitizer (clang $(clang --version | grep -oE '[0-9]+\.[0-9]+\.[0-9]+' | head -1)),"
    echo "each in one process at the lowest priority, with a 20 s limit an input and 1100 MiB an allocation."
    echo "Pixels: the largest picture the target's readers accept in the fuzz build (? where the report"
    echo "that first had the row did not say); bigger ones are refused before they are decoded."
    echo "Edges: the coverage points the target's corpus reaches at the end of its last run."
    echo "A finding is open while its input still fails the target's program as built now."
    [[ -z $rows ]] || echo "Targets marked * were not run from this build folder: their rows and findings are the previous report's."
    echo
    echo "| target | pixels | executions | seconds | edges | findings | open |"
    echo "|---|---:|---:|---:|---:|---:|---:|"
    for file in $build/fuzz-runs/*; do
      [[ -f $file ]] || continue
      t=${file##*/}
      read -r execs secs edges < <(awk '{e += $1; s += $2; c = $3} END {print e + 0, s + 0, c + 0}' "$file")
      local findings=$build/fuzz-findings/$t found=0 open=0 f
      for kind in "${kinds[@]}"; do
        for f in "$findings/$kind"-*; do
          [[ -f $f ]] || continue
          found=$((found + 1))
          still_fails "$t" "$f" && open=$((open + 1))
        done
      done
      local pixels='?'
      [[ -x $build/fuzz/fuzz_$t ]] && pixels=$("$build/fuzz/fuzz_$t" --max-pixels 2>/dev/null || echo '?')
      echo "| $t | $pixels | $execs | $secs | $edges | $found | $open |"
    done
    [[ -z $rows ]] || echo "$rows"
    echo
    echo "## Findings"
    echo
    for file in $build/fuzz-runs/*; do
      [[ -f $file ]] || continue
      t=${file##*/}
      for kind in "${kinds[@]}"; do
        for f in "$build/fuzz-findings/$t/$kind"-*; do
          [[ -f $f ]] || continue
          first=0
          local state="passes now" kept
          still_fails "$t" "$f" && state=OPEN
          kept=$(kept_as "$t" "$f")
          echo "- $t, $kind, $(stat -c %s "$f") bytes: $state${kept:+, kept as \`$kept\`}"
        done
      done
    done
    if [[ -n $findings_before ]]; then
      first=0
      echo "$findings_before"
    fi
    ((first)) && echo "None."
  } >"$report"
  echo "wrote $report"
}

# True when the input still fails the target's program.
still_fails() { ! nice -n 19 "$build/fuzz/fuzz_$1" "${limits[@]}" "$2" >/dev/null 2>&1; }

# The regression input with the same bytes, if there is one.
kept_as() {
  local f
  for f in tests/data/fuzz/"$1"/*; do
    [[ -f $f ]] && cmp -s "$f" "$2" && echo "$f" && return
  done
  return 0
}

if [[ $mode == report ]]; then
  write_report
  exit 0
fi

case $mode in
replay) printf '%-14s %8s %8s  %s\n' target inputs seconds result ;;
ci) printf '%-14s %12s %8s %8s  %s\n' target executions seconds edges result ;;
*) printf '%-14s %12s %8s %8s %8s %8s %8s %8s\n' target executions seconds edges crashes leaks timeouts ooms ;;
esac
mkdir -p "$build/fuzz-logs" "$build/fuzz-runs"
status=0
# In ci mode each target gets an equal part of the time still left, so
# that the time a program takes to start and to load its seeds, beyond
# what it fuzzes, is taken from the targets after it.
began=$SECONDS left=${#targets[@]}
for t in "${targets[@]}"; do
  bin=$build/fuzz/fuzz_$t
  [[ -x $bin ]] || { echo "no fuzz target $t" >&2; exit 2; }
  inputs_of "$bin"
  log=$build/fuzz-logs/$t.log
  if [[ $mode == replay ]]; then
    files=()
    for s in "${inputs[@]}"; do
      while IFS= read -r -d '' f; do files+=("$f"); done < <(find "$s" -type f -print0)
    done
    start=$SECONDS
    if nice -n 19 "$bin" "${limits[@]}" "${files[@]}" >"$log" 2>&1; then result=ok; else result="FAULT, see $log"; status=1; fi
    printf '%-14s %8d %8d  %s\n' "$t" "${#files[@]}" $((SECONDS - start)) "$result"
    continue
  fi
  findings=$build/fuzz-findings/$t
  if [[ $mode == ci ]]; then
    # A corpus, findings and log of its own for this run, apart from a
    # campaign's; the first finding ends it.
    findings=$build/ci-findings/$t log=$build/fuzz-logs/$t.ci.log
    mkdir -p "$findings"
    work=$(mktemp -d)
    start=$SECONDS
    share=$(((seconds - (start - began)) / left)) left=$((left - 1))
    ((share >= 5)) || share=5
    if nice -n 19 "$bin" "${limits[@]}" "${dictionary[@]}" -max_total_time="$share" -artifact_prefix="$findings/" \
      -print_final_stats=1 "$work" "${inputs[@]}" >"$log" 2>&1; then
      result=ok
    else
      found=$(grep -aoE 'Test unit written to .*' "$log" | tail -1 | sed 's/Test unit written to //')
      result="FINDING: ${found:-no reproducer written}, log $log"
      status=1
    fi
    rm -rf "$work"
    printf '%-14s %12s %8d %8s  %s\n' "$t" "$(executions_in "$log")" $((SECONDS - start)) "$(edges_in "$log")" "$result"
    continue
  fi
  work=$build/fuzz-corpus/$t
  mkdir -p "$work" "$findings"
  stamp=$findings/.started
  touch "$stamp"
  total=0 spent=0 edges=0
  : >"$log"
  # In the fuzzer's own process, several times faster than its fork mode
  # for the slow photo decoders. A finding ends a run and the next one goes
  # on from the corpus so that the time box is used in full; the findings
  # are counted from the files left behind. Runs follow each other until
  # the target has had its executions too.
  budget=$seconds
  while ((budget > 0)); do
    start=$SECONDS
    nice -n 19 "$bin" "${limits[@]}" "${dictionary[@]}" -max_total_time="$budget" -artifact_prefix="$findings/" \
      -print_final_stats=1 "$work" "${inputs[@]}" >"$log.run" 2>&1 || true
    cat "$log.run" >>"$log"
    n=$(executions_in "$log.run") e=$(edges_in "$log.run") took=$((SECONDS - start))
    rm -f "$log.run"
    echo "${n:-0} $took ${e:-0}" >>"$build/fuzz-runs/$t"
    total=$((total + ${n:-0})) spent=$((spent + took)) edges=${e:-0}
    # A run that ends at once (a seed that fails every time) would only
    # repeat itself.
    ((took >= 2)) || break
    budget=$((budget - took))
    if ((budget <= 0 && total < runs)); then
      # As long again as the rate so far needs for the rest, at least a minute.
      rate=$((total / (spent > 0 ? spent : 1)))
      budget=$(((runs - total) / (rate > 0 ? rate : 1) + 60))
    fi
  done
  c=() && for kind in "${kinds[@]}"; do c+=("$(count_findings "$findings" "$kind" -newer "$stamp")"); done
  printf '%-14s %12s %8d %8s %8d %8d %8d %8d\n' "$t" "$total" "$spent" "$edges" "${c[@]}"
  ((c[0] + c[1] + c[2] + c[3] == 0)) || status=1
done
[[ $mode == fuzz ]] && write_report
exit $status
