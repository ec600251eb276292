#!/usr/bin/env bash
# The tarball of npm pack, installed into an empty project without the registry, gives from
# Node the bytes that the lzc at $1 writes.
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
    import { readFileSync } from 'node:fs';
    process.stdout.write(await compress(readFileSync('source')));" | cmp - <("$lzc" -c source)
echo "packed package: lzc's bytes from Node"
