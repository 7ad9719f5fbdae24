#!/usr/bin/env bash
# Wall time of `diehost run` as a whole process (start-up, plug-in loading, kernel, outputs), median
# of N runs, for each session given (default: every example).
# Usage: bench/process_time.sh [N] [session.json ...]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
shift || true
sessions=("$@")
[ ${#sessions[@]} -eq 0 ] && sessions=(examples/*.json)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for session in "${sessions[@]}"; do
    times=()
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        build/bin/diehost run "$session" --step "$out/s.step" --report "$out/s.json" --quiet
        end=$(date +%s%N)
        times+=("$(( (end - start) / 1000 ))")
    done
    median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1/1000} END {print a[int((NR+1)/2)]}')
    printf '%-40s median %8.1f ms over %d runs\n' "$session" "$median" "$runs"
done
