#!/usr/bin/env bash
# The tarball of npm pack, installed into an empty project without the registry, gives from
# Node the bytes that the lzc at $1 writes, at the fastest, a middle and the best level.
set -euo pipefail
lzc=$(realpath "$1")
web=$(cd "$(dirname "$0")/../../web" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$web" && npm pack --silent --pack-destination "$work" >/dev/null)
cd "$work"
echo "{}" >package.json
npm install --offline --no-audit --no-fund --silent ./vellicor-*.tgz
head -c 32767 "$web/../README.md" >source
node --input-type=module -e "
    import { compress } from 'vellicor';
    import { readFileSync, writeFileSync } from 'node:fs';
    for (const level of [1, 5, 9]) {
        writeFileSync('node' + level, await compress(readFileSync('source'), { level }));
    }"
for level in 1 5 9; do
    "$lzc" "-$level" -c source | cmp - "node$level"
done
echo "packed package: lzc's bytes at levels 1, 5 and 9"
