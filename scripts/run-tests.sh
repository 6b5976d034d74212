#!/usr/bin/env bash
# Builds everything twice and runs the whole suite:
#   release (gcc): the unit and widget tests, then one short pass of every benchmark;
#   asan (clang, AddressSanitizer + UndefinedBehaviorSanitizer): the same tests again, then
#   each fuzzer for a bounded time.
# FUZZ_SECONDS sets the time per fuzzer (default 30).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

echo "== release build"
cmake --preset release -DOCUVIS_TESTS=ON -DOCUVIS_BENCH=ON > /dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== benchmarks (one short pass, as a check that they run)"
for b in build/release/bench/*_bench; do
    [ -x "$b" ] && "$b" --benchmark_min_time=0.01 > /dev/null
done

echo "== sanitizer build"
cmake --preset asan > /dev/null
cmake --build build/asan -j "$jobs"
ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== fuzzing"
seconds="${FUZZ_SECONDS:-30}"
for target in scanner_fuzz loader_fuzz; do
    corpus="$(mktemp -d)"
    cp fuzz/corpus/"${target%_fuzz}"/* "$corpus"/
    build/asan/fuzz/"$target" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
        "$corpus" 2>&1 | tail -n 3
    rm -rf "$corpus"
done
echo "== all tests passed"
