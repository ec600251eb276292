#!/usr/bin/env bash
# Two builds of lzc must write the same bytes: compresses the first COUNT files of 1 to 32767
# bytes under /usr/share/doc and /usr/include (in name order) at windows 32767, 4092 and 1024
# with both, and the benchmark's inputs too when a vellicor_bench is given. Prints how many
# outputs were compared and exits 1 at the first that differs.
#
#   bench/same_outputs.sh OLD_LZC NEW_LZC [COUNT [VELLICOR_BENCH]]
set -euo pipefail
old=$1
new=$2
count=${3:-2000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

find /usr/share/doc /usr/include -type f -size -32768c -size +0 -print0 | sort -z >"$work/all"
head -z -n "$count" "$work/all" >"$work/files"
if [ -n "${4:-}" ]; then
    mkdir "$work/inputs"
    "$4" --write-inputs "$work/inputs"
    find "$work/inputs" -type f -print0 | sort -z >>"$work/files"
fi

compared=0
while IFS= read -r -d '' file; do
    for window in 32767 4092 1024; do
        "$old" -c -w "$window" "$file" >"$work/old"
        "$new" -c -w "$window" "$file" >"$work/new"
        if ! cmp -s "$work/old" "$work/new"; then
            echo "different output: $file at window $window"
            exit 1
        fi
        compared=$((compared + 1))
    done
done <"$work/files"
echo "$compared outputs compared, all the same"
