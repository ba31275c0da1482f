#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the program's sources; fails on any finding.
# Its own build tree without precompiled headers: clang cannot read GCC's, and every file must then
# include what it uses.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-tidy
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON >/dev/null
# The generated moc files are included by the sources: make those of every library of src/.
autogen=$(ninja -C "$dir" -t targets all | grep -oE '^lomvato_[a-z]+_autogen' | sort -u)
# shellcheck disable=SC2086 # one target a word
cmake --build "$dir" --target $autogen >/dev/null
run-clang-tidy -p "$dir" -quiet -j "$(nproc)" "$PWD/src/.*\.cpp\$" >"$dir/tidy.log" 2>&1 || {
    grep -E -A3 'warning:|error:' "$dir/tidy.log" || tail -n 40 "$dir/tidy.log"
    exit 1
}
echo "clang-tidy: no findings"
