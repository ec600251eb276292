#!/usr/bin/env bash
# Compresses a batch of 2000 files of 1 to 32 KiB with lzc and, side by side in one hyperfine
# run, with gzip -9 -k, zstd -19 and lz4 -9. The files are slices of the system's own text
# (licence and copyright files), so they compress as real text does.
# Usage: bench/batch.sh [LZC_BINARY]   (default: build/dev/cli/lzc)
set -euo pipefail
lzc=$(realpath "${1:-build/dev/cli/lzc}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import glob, os, random, sys
work = sys.argv[1]
names = sorted(glob.glob("/usr/share/common-licenses/*") + glob.glob("/usr/share/doc/*/copyright"))
corpus = b"".join(open(name, "rb").read() for name in names if os.path.isfile(name))[:8000000]
random.seed(1)
os.mkdir(os.path.join(work, "files"))
for i in range(2000):
    size = random.randint(1024, 32 * 1024 - 1)
    start = random.randrange(0, len(corpus) - size)
    with open(os.path.join(work, "files", "f%04d.txt" % i), "wb") as f:
        f.write(corpus[start:start + size])
PY
cd "$work/files"
clean='rm -f *.lzc *.gz *.zst *.lz4'
hyperfine --warmup 1 --runs 5 --prepare "$clean" --export-markdown "$work/table.md" \
    -n 'lzc' "$lzc f*.txt" \
    -n 'lzc --synchronous' "$lzc --synchronous f*.txt" \
    -n 'gzip -9 -k' 'gzip -9 -k f*.txt' \
    -n 'zstd -19' 'zstd -19 -q f*.txt' \
    -n 'lz4 -9' 'lz4 -9 -q -m f*.txt'
cat "$work/table.md"
