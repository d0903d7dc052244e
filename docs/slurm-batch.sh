#!/usr/bin/env bash
# Converting a long list of images on a Slurm cluster: a job array whose
# tasks each take one slice of the list. Outputs go to a shared folder;
# --skip-existing lets the array be submitted again after failed or
# cancelled tasks, and only what is missing is done.
#
#   find /shared/photos -name '*.jpg' > /shared/photos.txt
#   sbatch --array=0-99 docs/slurm-batch.sh /shared/photos.txt /shared/small
#
# Each task writes a JSON line per file to its log (status, milliseconds).
#SBATCH --job-name=pixora-convert
#SBATCH --cpus-per-task=4
#SBATCH --mem=2G
#SBATCH --time=01:00:00
#SBATCH --output=pixora-%A_%a.jsonl
set -euo pipefail
list=$1
out=$2
tasks=${SLURM_ARRAY_TASK_COUNT:-1}
task=${SLURM_ARRAY_TASK_ID:-0}
# Lines task+1, task+1+tasks, ... of the list: every file in exactly one task.
awk -v n="$tasks" -v t="$task" '(NR - 1) % n == t' "$list" |
  pixora-convert @- --out-dir "$out" --to webp --apply gaussian-blur:2 \
    --skip-existing --json -j "${SLURM_CPUS_PER_TASK:-1}"
