#!/bin/sh
# Builds the archive fuzzer with clang (libFuzzer, AddressSanitizer, UBSan) in build-fuzz and
# runs it for the given number of seconds (default 60) from the seed corpus in
# tests/fuzz/corpus. Exits non-zero on any finding; the input that caused it is left in
# build-fuzz/fuzz-artifacts/.
set -eu

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

cc=clang
cxx=clang++
if ! command -v "$cxx" >/dev/null 2>&1; then
    cc=clang-14
    cxx=clang++-14
fi

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSG2_FUZZ=ON -DSG2_BENCH=OFF -DSG2_WERROR=ON >/dev/null
ninja -C "$build" -j2 fuzz_archive

# New inputs go to a working corpus in the build tree; the committed seeds stay as they are.
mkdir -p "$build/fuzz-corpus" "$build/fuzz-artifacts"
exec "$build/tests/fuzz/fuzz_archive" \
    -max_total_time="$seconds" \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -max_len=4096 \
    -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-artifacts/" \
    "$build/fuzz-corpus" "$root/tests/fuzz/corpus"
