#!/usr/bin/env bash
# Installs what is missing, then checks everything CI checks:
#   1. the C++ sources are clang-formatted;
#   2. a build with warnings as errors passes every test;
#   3. a build under AddressSanitizer and UndefinedBehaviorSanitizer passes every test.
# SKIP_SANITIZERS=1 leaves out step 3 for a quicker local run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

run_suite() {  # run_suite BUILD_DIR [CMAKE_ARGS...]
    local build=$1
    shift
    cmake -S . -B "$build" -G Ninja -DVELLICOR_WERROR=ON "$@"
    cmake --build "$build" --parallel 2
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --parallel 2 --output-on-failure
}

echo "== warnings as errors, all tests"
run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ "${SKIP_SANITIZERS:-0}" != 1 ]; then
    echo "== AddressSanitizer and UndefinedBehaviorSanitizer, all tests"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DVELLICOR_SANITIZE=address,undefined
fi
