#!/usr/bin/env bash
# Builds everything twice, the frame tests a third time, and runs the whole suite:
#   format: every C++ file as clang-format leaves it;
#   clang-tidy: the checks of .clang-tidy over src/, on the release build's compile commands;
#   release (gcc, warnings as errors): the unit and widget tests, then one short pass of every benchmark;
#   asan (clang, AddressSanitizer + UndefinedBehaviorSanitizer): the same tests again, then
#   each fuzzer for a bounded time;
#   tsan (clang, ThreadSanitizer): the frame tests alone, which drive the renderer's second thread.
# FUZZ_SECONDS sets the time per fuzzer (default 20).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

echo "== format"
# clang-format 14 with the repository's .clang-format; prints the first offending lines.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== release build (warnings are errors)"
cmake --preset release -DOCUVIS_TESTS=ON -DOCUVIS_BENCH=ON -DOCUVIS_WERROR=ON \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== clang-tidy (bugprone, concurrency and performance checks of .clang-tidy)"
# Runs on the release build's compile commands, after the build has made Qt's generated headers.
# Any finding is an error and ends the run.
run-clang-tidy -quiet -j "$jobs" -p build/release "^$root/src/" > build/clang-tidy.log 2>&1 || {
    grep -E 'error:|warning:' -A 3 build/clang-tidy.log | head -n 60
    echo "clang-tidy found the above (whole log: build/clang-tidy.log)"
    exit 1
}

echo "== benchmarks (one short pass, as a check that they run)"
for b in build/release/bench/*_bench; do
    [ -x "$b" ] && "$b" --benchmark_min_time=0.01 > /dev/null
done

echo "== sanitizer build"
cmake --preset asan > /dev/null
cmake --build build/asan -j "$jobs"
ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== thread sanitizer build: the frame tests"
# The preset builds frame_tests alone. One process runs them all; a race it sees ends the run
# (exit status 66).
cmake --preset tsan > /dev/null
cmake --build --preset tsan -j "$jobs"
TSAN_OPTIONS="halt_on_error=1 ${TSAN_OPTIONS:-}" build/tsan/tests/render/frame_tests --gtest_brief=1

echo "== fuzzing"
# Each target must reach functions of the libraries it drives: without their coverage counters a
# fuzzer sees only its own file, reaches none and cannot steer. It must also pass a floor of
# coverage, about half of what a busy two-core machine reaches in 30 seconds.
seconds="${FUZZ_SECONDS:-20}"
for entry in scanner:120 loader:150 cli:300 setup:200 settings:350 frame:350 ply:550 csv:290 las:330; do
    name="${entry%%:*}"
    minimum="${entry#*:}"
    corpus="$(mktemp -d)"
    log="$(mktemp)"
    cp fuzz/corpus/"$name"/* "$corpus"/
    status=0
    # A crashing input is kept beside the fuzzer, out of the source tree.
    build/asan/fuzz/"$name"_fuzz -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
        -print_coverage=1 -artifact_prefix="build/asan/fuzz/$name-" "$corpus" > "$log" 2>&1 ||
        status=$?
    # The last status line ("#N DONE cov: C ft: F ...") holds the final coverage.
    final="$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 || true)"
    cov="$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<< "$final")"
    ft="$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<< "$final")"
    reached="$(grep -cE '^COVERED_FUNC: .*/src/(core|input|render|settings|app)/[^ ]*\.cpp:[0-9]+$' \
        "$log" || true)"
    echo "${name}_fuzz: cov ${cov:-?} ft ${ft:-?}, $reached functions of src/ reached" \
        "(minimum cov $minimum)"
    if [ "$status" -ne 0 ]; then
        grep -vE '^(UN)?COVERED' "$log" | tail -n 40
        exit "$status"
    fi
    if [ "$reached" -eq 0 ] || [ -z "$cov" ] || [ "$cov" -lt "$minimum" ]; then
        echo "${name}_fuzz reached too little: are the libraries built with coverage counters?"
        exit 1
    fi
    rm -rf "$corpus" "$log"
done
echo "== all tests passed"
