#!/usr/bin/env bash
# Whole-process times: `lzc -c FILE` against gzip -9, lz4 -9, zstd -19 and xz -9, each writing
# to /dev/null, on every input of the benchmark set (written out by vellicor_bench). Prints a
# Markdown table: per tool the median of the per-round median wall times, and lzc's paired
# ratios to gzip -9 and lz4 -9: the median over rounds of lzc's time divided by the other's in
# the same round, so that load on the machine falls on both sides alike; once for the wall
# time and once for the CPU time (user + system, less moved by other processes).
#
#   bench/whole_process.sh [BUILD_DIR [ROUNDS [RUNS]]]
# BUILD_DIR is a build with -DVELLICOR_BENCH=ON (default build/bench); needs hyperfine, gzip,
# lz4, zstd and xz (Debian: hyperfine gzip lz4 zstd xz-utils).
set -euo pipefail
build=${1:-build/bench}
rounds=${2:-10}
runs=${3:-15}
lzc=$(realpath "$build/cli/lzc")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/inputs"
"$build/bench/vellicor_bench" --write-inputs "$work/inputs"

tools=("lzc -c" "gzip -9 -c" "lz4 -9 -c" "zstd -19 -c" "xz -9 -c")
for round in $(seq "$rounds"); do
    for input in "$work"/inputs/*; do
        commands=()
        for tool in "${tools[@]}"; do
            commands+=("${tool/#lzc/$lzc} $input")
        done
        hyperfine -N --style none --warmup 3 --runs "$runs" --export-csv "$work/round.csv" \
            "${commands[@]}" >/dev/null 2>&1
        # One line per tool: round, input, tool number, median wall and mean CPU time in ms.
        tail -n +2 "$work/round.csv" | awk -F, -v r="$round" -v i="$(basename "$input")" \
            '{ printf "%s %s %d %.4f %.4f\n", r, i, NR, $4 * 1000, ($5 + $6) * 1000 }' \
            >>"$work/times"
    done
done

awk -v tools="lzc -c|gzip -9|lz4 -9|zstd -19|xz -9" '
function median(list, n,    sorted, k, tmp, j) {
    for (k = 1; k <= n; ++k) sorted[k] = list[k]
    for (k = 2; k <= n; ++k) {  # insertion sort: a few dozen values
        tmp = sorted[k]
        for (j = k - 1; j >= 1 && sorted[j] > tmp; --j) sorted[j + 1] = sorted[j]
        sorted[j + 1] = tmp
    }
    return n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
}
{
    t[$2, $1, $3] = $4
    cpu[$2, $1, $3] = $5
    if (!($2 in seen)) { seen[$2] = 1; order[++n] = $2 }
    if ($1 > rounds) rounds = $1
}
END {
    count = split(tools, name, "|")
    printf "| input |"
    for (k = 1; k <= count; ++k) printf " %s (ms) |", name[k]
    printf " lzc / gzip -9 | lzc / lz4 -9 | CPU: lzc / gzip -9 | CPU: lzc / lz4 -9 |\n|---|"
    for (k = 1; k <= count + 4; ++k) printf "---:|"
    printf "\n"
    for (m = 1; m <= n; ++m) {
        input = order[m]
        label = input; sub(/^[0-9]+-/, "", label)
        printf "| %s |", label
        for (k = 1; k <= count; ++k) {
            for (r = 1; r <= rounds; ++r) v[r] = t[input, r, k]
            printf " %.2f |", median(v, rounds)
        }
        for (k = 2; k <= 3; ++k) {
            for (r = 1; r <= rounds; ++r) v[r] = t[input, r, 1] / t[input, r, k]
            printf " %.2f |", median(v, rounds)
        }
        for (k = 2; k <= 3; ++k) {
            for (r = 1; r <= rounds; ++r) v[r] = cpu[input, r, 1] / cpu[input, r, k]
            printf " %.2f |", median(v, rounds)
        }
        printf "\n"
    }
}' "$work/times"
