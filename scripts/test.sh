#!/usr/bin/env bash
# Sets up, builds and runs every test: the format of the sources, the normal build and its tests, clang-tidy,
# the build under AddressSanitizer and UndefinedBehaviorSanitizer and its tests, then the fuzz target for a
# minute.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

# Unoptimised builds: they compile fastest. No test asserts a time; speed is measured by the benchmarks.
echo "== build"
scripts/build.sh build-test -DCMAKE_BUILD_TYPE=Debug
echo "== tests"
(cd build-test && ctest --output-on-failure -j "$jobs")

echo "== static analysis"
scripts/tidy.sh

echo "== build with sanitizers"
scripts/build.sh build-asan -DLOMVATO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
echo "== tests with sanitizers"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$jobs")

if [ -x scripts/fuzz.sh ] && command -v clang++ >/dev/null; then
    echo "== fuzz"
    scripts/fuzz.sh 60
fi
