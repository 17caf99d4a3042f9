#!/usr/bin/env bash
# Sets up a Debian 12 machine and runs every test: the native unit tests, plain
# and under AddressSanitizer/UBSan; the Windows tests under Wine (the real
# program driven through its window); the fuzzers of the conversation, of
# Chat's art and of the strip, each for a bounded time (MIRTH_FUZZ_SECONDS, 60
# by default); and the benchmarks, which print their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh test

jobs=$(nproc)
build() {  # build DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
}

echo "== native unit tests"
build build/native
ctest --test-dir build/native --output-on-failure

echo "== native unit tests under AddressSanitizer and UBSan"
build build/asan -DMIRTH_SANITIZE=ON
ctest --test-dir build/asan --output-on-failure

echo "== Windows tests under Wine"
build build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
ctest --test-dir build/win --output-on-failure

echo "== strip renderer benchmark under Wine"
cmake/wine-exec.sh build/win/wine-session build/win/bin/strip_render_benchmark.exe
cmake/wine-session.sh stop build/win/wine-session

echo "== fuzzers (${MIRTH_FUZZ_SECONDS:-60} s each)"
CC=clang CXX=clang++ build build/fuzz -DMIRTH_FUZZ=ON
mkdir -p build/fuzz/corpus build/fuzz/art_corpus build/fuzz/strip_corpus
build/fuzz/bin/conversation_fuzzer -max_total_time="${MIRTH_FUZZ_SECONDS:-60}" -max_len=16384 \
    -print_final_stats=1 build/fuzz/corpus tests/fuzz/seeds 2>&1 | tail -n 12
build/fuzz/bin/art_fuzzer -max_total_time="${MIRTH_FUZZ_SECONDS:-60}" -max_len=16384 \
    -print_final_stats=1 build/fuzz/art_corpus tests/fuzz/art_seeds 2>&1 | tail -n 12
build/fuzz/bin/strip_fuzzer -max_total_time="${MIRTH_FUZZ_SECONDS:-60}" -max_len=16384 \
    -print_final_stats=1 build/fuzz/strip_corpus tests/fuzz/strip_seeds 2>&1 | tail -n 12

echo "== benchmark"
build/native/bin/conversation_benchmark --benchmark_color=false

echo "All tests passed."
