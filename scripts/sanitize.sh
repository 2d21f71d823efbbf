#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, the libraries also instrumented for the fuzz targets), runs every test
# in it, the windows' tests on the offscreen platform, then each fuzz target.
# Usage: scripts/sanitize.sh [FUZZ_SECONDS]   (default 30 s per fuzz target)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KORAL_FUZZ_BUILD_DIR:-$repo/build/fuzz}
cd "$repo"

scripts/install-deps.sh --tests --sanitizers
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DKORAL_BUILD_TESTS=ON -DKORAL_FUZZ=ON >/dev/null
cmake --build "$build"

# Any report fails the test that caused it. The leak suppressions name only
# allocations the system libraries keep for the whole process.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$repo/tests/sanitizers/lsan.supp:print_suppressions=0}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

KORAL_FUZZ_BUILD_DIR=$build scripts/fuzz.sh "${1:-30}"
