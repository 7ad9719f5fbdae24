#!/usr/bin/env bash
# Whole-process figures: `diehost run` of the die-set session with --report against the bare-kernel
# program that builds the same geometry (build/bin/dieset_occt), run in turn N times; the ratio is
# taken pair by pair. Then the full demo with all four outputs, and `diehost check` of the two
# interference scenes. Prints medians (wall ms) and peak memory (MiB, /usr/bin/time).
# Usage: bench/paired.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
bin=${DIEKIT_BUILD:-build}/bin
for program in diehost dieset_occt; do
    [ -x "$bin/$program" ] || { echo "paired.sh: $bin/$program is missing: build first (./diekit test)" >&2; exit 2; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Wall milliseconds and peak MiB of one command: prints "ms mib".
measure() {
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f "%M" -o "$out/mem" "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    awk -v ns=$((end - start)) -v kib="$(tail -1 "$out/mem")" 'BEGIN {printf "%.1f %.1f\n", ns / 1e6, kib / 1024}'
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

python3 bench/check_scenes.py "$out"
host=() bare=() ratio=() host_mib=() bare_mib=() demo=() demo_mib=()
for _ in $(seq "$runs"); do
    read -r h hm < <(measure "$bin/diehost" run bench/dieset_session.json --report "$out/r.json" --quiet)
    read -r b bm < <(measure "$bin/dieset_occt")
    host+=("$h") bare+=("$b") host_mib+=("$hm") bare_mib+=("$bm")
    ratio+=("$(awk -v h="$h" -v b="$b" 'BEGIN {printf "%.3f", h / b}')")
done
for _ in $(seq "$(( (runs + 1) / 2 ))"); do
    read -r d dm < <(measure "$bin/diehost" run examples/demo.json --step "$out/d.step" --report "$out/d.json" \
                     --svg "$out/d.svg" --bom "$out/d.csv" --quiet)
    demo+=("$d") demo_mib+=("$dm")
done
printf 'die set, diehost run --report   median %8.1f ms  peak %6.1f MiB\n' \
    "$(printf '%s\n' "${host[@]}" | median)" "$(printf '%s\n' "${host_mib[@]}" | median)"
printf 'die set, bare OCCT program      median %8.1f ms  peak %6.1f MiB\n' \
    "$(printf '%s\n' "${bare[@]}" | median)" "$(printf '%s\n' "${bare_mib[@]}" | median)"
printf 'ratio diehost / bare, pair by pair: median %.3f (%d pairs)\n' "$(printf '%s\n' "${ratio[@]}" | median)" "$runs"
printf 'demo, all four outputs          median %8.1f ms  peak %6.1f MiB\n' \
    "$(printf '%s\n' "${demo[@]}" | median)" "$(printf '%s\n' "${demo_mib[@]}" | median)"
for scene in blocks100 fixtures300; do
    read -r c cm < <(measure "$bin/diehost" check "$out/$scene.json" --quiet)
    printf 'diehost check %-17s one run %8.1f ms  peak %6.1f MiB\n' "$scene" "$c" "$cm"
done
