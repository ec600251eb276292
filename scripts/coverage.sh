#!/usr/bin/env bash
# Builds everything with GCC's coverage instrumentation in build/coverage, runs every test and
# prints line and branch coverage of the product code (codec/, files/, lib/, ui/, cli/; tests, fuzz targets
# and benchmarks are left out of the figures).
#
# Tests that run code in a child process count too: children that end with _exit flush their
# counters first (the test support does so when VELLICOR_COVERAGE_BUILD is defined), and
# children that run as the unprivileged user may write the counter files because the build
# tree is writable by everyone and the tests (but those of the install tree, which check modes)
# run with umask 000. The counters are updated atomically: lzc -T and the tests run code on
# several threads at once, and counts lost in a race would come out negative (gcovr refuses
# "branch 1 taken -2").
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/coverage

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELLICOR_WERROR=ON \
    -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic -DVELLICOR_COVERAGE_BUILD" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage
cmake --build "$build" --parallel 2
find "$build" -name '*.gcda' -delete
chmod -R a+rwX "$build"
(
    umask 000
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --parallel 2 --output-on-failure \
        --exclude-regex '^install[.]|^lib[.]installed_consumers$'
)
# Left out: lib.installed_consumers links programs of its own against the installed static
# library, whose instrumented objects would need the coverage runtime those programs lack.
# The install tests check file modes, which must come from the usual umask.
ctest --test-dir "$build" --output-on-failure --tests-regex '^install[.]'

echo "== product coverage (codec/, files/, lib/, ui/, cli/)"
summary=$(gcovr --root . --object-directory "$build" --exclude-directories "$build/CMakeFiles" --filter "$PWD/(codec|files|lib|ui|cli)/" \
    --exclude-throw-branches --exclude-unreachable-branches --print-summary \
    --txt "$build/coverage.txt")
cat "$build/coverage.txt"
grep -E '^(lines|branches):' <<<"$summary"
