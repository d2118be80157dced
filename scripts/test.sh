#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then runs
# every test again in a clang build with AddressSanitizer and UBSan (a read
# past a truncated input's end shows there even when the test would pass),
# the GIF painter's tests in a ThreadSanitizer build, and each fuzz harness of
# the AddressSanitizer build briefly over its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPRISMCASE_FUZZ=ON -DPRISMCASE_TESTS=ON -DPRISMCASE_BENCH=OFF
cmake --build build-fuzz -j "$jobs"
# Leaks are not checked: the GL and font libraries keep memory to the end.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-fuzz --output-on-failure -j "$jobs" --timeout 900

# The GIF painter's threads under ThreadSanitizer: only the codec and the
# painter's tests are built.
CC=clang CXX=clang++ cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPRISMCASE_TSAN=ON -DPRISMCASE_TESTS=ON -DPRISMCASE_BENCH=OFF
cmake --build build-tsan -j "$jobs" --target test_gif_painter
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/test_gif_painter --gtest_filter='GifPainter*'

bash scripts/fuzz-briefly.sh build-fuzz/fuzz "${FUZZ_SECONDS:-10}"
