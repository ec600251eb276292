#!/usr/bin/env bash
# Installs what is missing, builds, and runs Vellicor: a round trip of a sample file through
# the codec.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLICOR_BUILD_TESTS=OFF
cmake --build "$build" --parallel 2
