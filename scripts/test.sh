#!/usr/bin/env bash
# Installs what is missing, then checks everything CI checks:
#   1. the C++ sources are clang-formatted;
#   2. a build with warnings as errors (benchmarks included, not run) passes every test;
#   3. the npm package's tests pass, its packed tarball installs, and the page works in headless
#      Chromium (the codec in WebAssembly, compared with step 2's lzc);
#   4. a build under AddressSanitizer and UndefinedBehaviorSanitizer passes every test;
#   5. each libFuzzer target runs for FUZZ_SECONDS (60 by default) without a finding;
#   6. lzc.exe and the codec tests, cross-built for Windows, pass under Wine.
# SKIP_SANITIZERS=1 leaves out steps 4 and 5 for a quicker local run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh all

echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

run_suite() {  # run_suite BUILD_DIR [CMAKE_ARGS...]
    local build=$1
    shift
    cmake -S . -B "$build" -G Ninja -DVELLICOR_WERROR=ON -DVELLICOR_BUILD_TESTS=ON "$@"
    cmake --build "$build" --parallel 2
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --parallel 2 --output-on-failure
}

echo "== warnings as errors, all tests"
run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLICOR_BENCH=ON

echo "== WebAssembly: the npm package and the page in headless Chromium"
bash scripts/web.sh test build/release/cli/lzc

if [ "${SKIP_SANITIZERS:-0}" != 1 ]; then
    echo "== AddressSanitizer and UndefinedBehaviorSanitizer, all tests"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DVELLICOR_SANITIZE=address,undefined

    echo "== libFuzzer targets, ${FUZZ_SECONDS:-60} s each"
    CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELLICOR_FUZZ=ON -DVELLICOR_BUILD_TESTS=OFF -DVELLICOR_WERROR=ON
    targets=(decode_fuzzer round_trip_fuzzer differential_fuzzer)
    cmake --build build/fuzz --parallel 2 --target "${targets[@]}"
    # Longest input each target is given: the differential target runs the brute-force search.
    declare -A max_len=([decode_fuzzer]=4096 [round_trip_fuzzer]=32769 [differential_fuzzer]=1024)
    for target in "${targets[@]}"; do
        corpus=fuzz/corpus/${target%_fuzzer}
        found=$(mktemp -d)  # new inputs go here, the checked-in seeds stay as they are
        status=0
        build/fuzz/fuzz/$target -max_total_time="${FUZZ_SECONDS:-60}" \
            -max_len="${max_len[$target]}" -print_final_stats=1 "$found" "$corpus" \
            >"$found.log" 2>&1 || status=$?
        grep -E '^(stat::number_of_executed_units|Done)' "$found.log" || true
        if [ "$status" -ne 0 ]; then
            tail -n 60 "$found.log"
            echo "$target found a failing input (exit status $status)"
            exit 1
        fi
        rm -rf "$found" "$found.log"
    done
fi

echo "== Windows: lzc.exe and the codec tests, cross-built with MinGW-w64, under Wine"
bash scripts/windows-test.sh build/release/cli/lzc
