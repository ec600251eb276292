#!/usr/bin/env bash
# Batches of small files, whole processes side by side in rounds: in each round one hyperfine
# run times every command of a table once (after its --prepare), so that load on the machine
# falls on all of them alike; the tables give each command's median wall, user and system time
# over the rounds, and the ratios the goals are stated in, paired (the median over rounds of
# the two commands' times in the same round).
#   compress: 2000 files of 1 to 32 KiB (slices of the system's licence texts), lzc on one
#             thread and on every core against lz4 -9 -m and gzip -9 -k;
#   restore:  the same files compressed, lzc -d against gzip -dk;
#   tree:     10,000 such files in 100 directories, lzc -r against gzip -r -1 -k, and cp -r of
#             the same tree as the floor (the system calls a batch cannot avoid).
# Then lzc -r's peak memory on the whole tree and on one directory of it, and its system calls.
# Usage: bench/batch.sh [LZC_BINARY [ROUNDS]]   (default: build/release/cli/lzc, 5 rounds)
# BATCH_SLOW=1 adds zstd -19 and lzc --synchronous to the compress table (minutes per round).
set -euo pipefail
lzc=$(realpath "${1:-build/release/cli/lzc}")
rounds=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import glob, os, random, sys
work = sys.argv[1]
names = sorted(glob.glob("/usr/share/common-licenses/*") + glob.glob("/usr/share/doc/*/copyright"))
corpus = b"".join(open(name, "rb").read() for name in names if os.path.isfile(name))[:8000000]
random.seed(1)
def write(path):
    size = random.randint(1024, 32 * 1024 - 1)
    start = random.randrange(0, len(corpus) - size)
    with open(path, "wb") as f:
        f.write(corpus[start:start + size])
for folder in ("files", "packed"):
    os.mkdir(os.path.join(work, folder))
for i in range(2000):
    write(os.path.join(work, "files", "f%04d.txt" % i))
for d in range(100):
    os.makedirs(os.path.join(work, "tree", "d%02d" % d))
    for i in range(100):
        write(os.path.join(work, "tree", "d%02d" % d, "f%02d.txt" % i))
PY
cd "$work/files"
cp f*.txt ../packed/ && (cd ../packed && "$lzc" -q f*.txt && gzip -9 f*.txt)

# table NAME DIRECTORY PREPARE LABEL COMMAND [LABEL COMMAND]...: rounds of one run each; one
# line per round and command in $work/NAME: round, label number, wall, user, system (s).
table() {
    local name=$1 directory=$2 prepare=$3
    shift 3
    local arguments=()
    while (($#)); do
        arguments+=(-n "$1" "$2")
        shift 2
    done
    for round in $(seq "$rounds"); do
        (cd "$directory" && hyperfine --style none --runs 1 --prepare "$prepare" \
            --export-csv "$work/round.csv" "${arguments[@]}" >/dev/null 2>&1)
        tail -n +2 "$work/round.csv" | awk -F, -v r="$round" \
            '{ printf "%d %d %.4f %.4f %.4f\n", r, NR, $2, $5, $6 }' >>"$work/times-$name"
    done
}

# report NAME "LABEL|LABEL|..." "A/B A/B ...": the medians, then the paired ratios of the
# commands numbered A and B.
report() {
    awk -v labels="$2" -v pairs="$3" '
    function median(list, n,    s, k, tmp, j) {
        for (k = 1; k <= n; ++k) s[k] = list[k]
        for (k = 2; k <= n; ++k) {
            tmp = s[k]
            for (j = k - 1; j >= 1 && s[j] > tmp; --j) s[j + 1] = s[j]
            s[j + 1] = tmp
        }
        return n % 2 ? s[(n + 1) / 2] : (s[n / 2] + s[n / 2 + 1]) / 2
    }
    { wall[$1, $2] = $3; user[$1, $2] = $4; sys[$1, $2] = $5; if ($1 > n) n = $1 }
    END {
        count = split(labels, label, "|")
        print "| command | wall (s) | user (s) | system (s) |\n|:---|---:|---:|---:|"
        for (c = 1; c <= count; ++c) {
            for (r = 1; r <= n; ++r) { w[r] = wall[r, c]; u[r] = user[r, c]; s[r] = sys[r, c] }
            printf "| `%s` | %.3f | %.3f | %.3f |\n", label[c], median(w, n), median(u, n), median(s, n)
        }
        print "\n| paired ratio (wall) | median | min | max |\n|:---|---:|---:|---:|"
        p = split(pairs, pair, " ")
        for (k = 1; k <= p; ++k) {
            split(pair[k], ab, "/")
            lo = 1e9; hi = 0
            for (r = 1; r <= n; ++r) {
                q[r] = wall[r, ab[1]] / wall[r, ab[2]]
                lo = q[r] < lo ? q[r] : lo; hi = q[r] > hi ? q[r] : hi
            }
            printf "| `%s` / `%s` | %.2f | %.2f | %.2f |\n", label[ab[1]], label[ab[2]], median(q, n), lo, hi
        }
    }' "$work/times-$1"
    echo
}

compress=(lzc "$lzc f*.txt" "lzc -T0" "$lzc -T0 f*.txt" "lz4 -9 -m" "lz4 -9 -q -m f*.txt"
    "gzip -9 -k" "gzip -9 -k f*.txt")
labels="lzc|lzc -T0|lz4 -9 -m|gzip -9 -k"
if [ "${BATCH_SLOW:-0}" = 1 ]; then
    compress+=("zstd -19" "zstd -19 -q f*.txt" "lzc --synchronous" "$lzc --synchronous f*.txt")
    labels+="|zstd -19|lzc --synchronous"
fi
table compress "$work/files" 'rm -f *.lzc *.gz *.zst *.lz4' "${compress[@]}"
echo "## compress: 2000 files, $rounds rounds"
report compress "$labels" "2/3 2/1 1/3 1/4"

table restore "$work/packed" 'rm -f *.txt' \
    "lzc -d" "$lzc -d f*.lzc" "lzc -d -T0" "$lzc -d -T0 f*.lzc" "gzip -dk" "gzip -dk f*.gz"
echo "## restore: 2000 files, $rounds rounds"
report restore "lzc -d|lzc -d -T0|gzip -dk" "2/3 1/3 2/1"

table tree "$work" "find tree -name '*.lzc' -delete; find tree -name '*.gz' -delete; rm -rf copy" \
    "lzc -r" "$lzc -r tree" "lzc -r -T0" "$lzc -r -T0 tree" "gzip -r -1 -k" "gzip -r -1 -k tree" \
    "cp -r" "cp -r tree copy"
echo "## tree: 10,000 files in 100 directories, $rounds rounds"
report tree "lzc -r|lzc -r -T0|gzip -r -1 -k|cp -r" "1/3 2/3 1/4 2/1"

cd "$work"
find tree -name '*.lzc' -delete
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
echo "## lzc -r peak memory (max RSS, KiB)"
echo "whole tree: $(peak "$lzc" -r tree); -T0: $(find tree -name '*.lzc' -delete; peak "$lzc" -r -T0 tree);" \
    "one directory of 100 files: $(find tree -name '*.lzc' -delete; peak "$lzc" -r tree/d00)"
find tree -name '*.lzc' -delete
echo "## lzc -r system calls (strace -c -f), top 8"
strace -f -c -o "$work/calls" "$lzc" -r tree
head -n 12 "$work/calls" | tail -n +1
