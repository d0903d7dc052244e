#!/usr/bin/env bash
# A batch spread over processes by GNU parallel, killed half way and run
# again with --skip-existing, must end with every output there once, whole
# and byte for byte what one converter process writes for the same inputs.
#
# Usage: parallel_batch.sh CONVERTER [FILES]   (default 1000 small files)
# Exits 77 (skipped) when parallel is not installed.
set -euo pipefail
conv=$(realpath "$1")
files=${2:-1000}
command -v parallel >/dev/null || { echo "parallel is not installed: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Small PPM inputs, each different: 24 x 16 pixels.
python3 - "$files" <<'PY'
import os, sys
n = int(sys.argv[1])
os.mkdir("in")
with open("list.txt", "w") as names:
    for i in range(n):
        name = f"in/img{i:04d}.ppm"
        pixels = bytes((x * 7 + y * 13 + i * 31 + c * 85) % 256
                       for y in range(16) for x in range(24) for c in range(3))
        with open(name, "wb") as f:
            f.write(b"P6\n24 16\n255\n" + pixels)
        names.write(name + "\n")
PY
mkdir par
steps=(--to png --apply gaussian-blur:2 --apply posterize:64)

# The yardstick: one process, two threads.
"$conv" @list.txt --out-dir ref "${steps[@]}" -j 2

# The same through parallel, one file a process; killed with its whole
# process group once half the outputs are there.
run() {
  parallel -j 2 -a list.txt "$conv" {} --out-dir par "${steps[@]}" --skip-existing --json -j 1
}
# setsid makes parallel the leader of a process group of its own (it is not
# one as a background job of a script), so the kill reaches the converters.
setsid parallel -j 2 -a list.txt "$conv" {} --out-dir par "${steps[@]}" --skip-existing --json -j 1 \
  >first.json 2>first.err &
group=$!
for _ in $(seq 600); do
  done_now=$(find par -maxdepth 1 -name '*.png' 2>/dev/null | wc -l)
  [ "$done_now" -ge $((files / 2)) ] && break
  sleep 0.1
done
kill -KILL -- -"$group"
wait "$group" 2>/dev/null || true
before=$(find par -maxdepth 1 -name '*.png' | wc -l)
echo "killed with $before of $files outputs written"
if [ "$before" -ge "$files" ]; then
  echo "FAIL: the batch finished before it was killed; nothing was restarted"
  exit 1
fi

run >second.json 2>second.err
skipped=$(grep -c '"status":"skipped"' second.json || true)
written=$(grep -c '"status":"ok"' second.json || true)
failed=$(grep -c '"status":"error"' second.json || true)
echo "restart: $skipped skipped, $written written, $failed failed"

status=0
fail() { echo "FAIL: $*"; status=1; }
[ "$failed" -eq 0 ] || fail "$failed files failed on the restart"
[ "$skipped" -ge "$before" ] || fail "the restart skipped $skipped, fewer than the $before written before"
[ $((skipped + written)) -eq "$files" ] || fail "the restart reported $((skipped + written)) files, not $files"
# Exactly the outputs, nothing else: no temporary files left behind.
listed=$(ls -A par | sort)
expected=$(ls -A ref | sort)
[ "$listed" = "$expected" ] || fail "the folders hold different names: $(diff <(echo "$expected") <(echo "$listed") | head -5)"
[ "$(ls -A par | wc -l)" -eq "$files" ] || fail "$(ls -A par | wc -l) files, not $files"
differ=0
for f in ref/*.png; do
  cmp -s "$f" "par/${f#ref/}" || differ=$((differ + 1))
done
[ "$differ" -eq 0 ] || fail "$differ outputs differ from the single-process run"
[ "$status" -eq 0 ] && echo "all $files outputs whole and identical"
exit "$status"
