#!/usr/bin/env bash
# The codec in WebAssembly, built with Debian's Emscripten from the library's own sources:
#   scripts/web.sh               builds web/vellicor_wasm.mjs (the npm package's codec) and the
#                                page, as static files, in build/web
#   scripts/web.sh serve [PORT]  builds, then serves build/web on 127.0.0.1:PORT (8000)
#   scripts/web.sh test LZC      builds, then runs the package's tests, installs its npm pack
#                                tarball into an empty project, and drives the page in headless
#                                Chromium; both compare with the bytes of the lzc at LZC
set -euo pipefail
cd "$(dirname "$0")/.."

# Debian's emcc runs its tools with Node and looks for their modules (acorn) where Debian keeps
# them, which a Node from elsewhere does not search.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build/wasm -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLICOR_WERROR=ON \
    -DVELLICOR_BUILD_TESTS=OFF -DVELLICOR_WINDOW=OFF >/dev/null
cmake --build build/wasm --target vellicor_wasm
cp build/wasm/web/vellicor_wasm.mjs web/
rm -rf build/web
/usr/bin/python3 web/page/build_page.py build/web web/vellicor_wasm.mjs

case "${1:-}" in
    "") ;;
    serve)
        echo "Serving build/web on http://127.0.0.1:${2:-8000}/ (Ctrl+C stops)"
        exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory build/web "${2:-8000}"
        ;;
    test)
        lzc=$(realpath "${2:?usage: $0 test LZC}")
        (cd web && npm test)
        bash tests/web/packed_package_test.sh "$lzc"
        /usr/bin/python3 tests/web/page_test.py build/web "$lzc"
        ;;
    *)
        echo "usage: $0 [serve [PORT] | test LZC]" >&2
        exit 1
        ;;
esac
