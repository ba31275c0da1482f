#!/bin/sh
# Builds the template fuzzer with clang and runs it for N seconds (default 60): scripts/fuzz.sh [seconds]
# Without clang++ it says so and succeeds. New inputs collect in <build>/fuzz/corpus-work; a crash leaves its
# input in <build>/fuzz/ and makes the script fail.
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LOMVATO_FUZZ_BUILD:-$root/build-fuzz}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz.sh: clang++ not found, fuzzing skipped"
    exit 0
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLOMVATO_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzz_template -j 2

work="$build/fuzz/corpus-work"
mkdir -p "$work"
cd "$build/fuzz"
exec ./fuzz_template -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=4096 \
    -artifact_prefix="$build/fuzz/" "$work" "$root/fuzz/corpus"
