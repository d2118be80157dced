#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then, in a
# clang build with AddressSanitizer and UBSan, runs the tests of every file
# reader and each fuzz harness briefly over its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

# The readers' tests under the sanitizers: a read past a truncated input's
# end shows here even when the test itself would pass.
reader_tests=(test_codecs_png test_codecs_gif test_platform test_scene_model test_scene_pictures test_app_project)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPRISMCASE_FUZZ=ON -DPRISMCASE_TESTS=ON -DPRISMCASE_BENCH=OFF
cmake --build build-fuzz -j "$jobs" --target fuzzers prismcase prismcase-probe prismcase_data "${reader_tests[@]}"
for t in "${reader_tests[@]}"; do
  echo "sanitized $t"
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    QT_QPA_PLATFORM=offscreen GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=2 \
    "build-fuzz/tests/$t" --gtest_brief=1
done
bash scripts/fuzz-briefly.sh build-fuzz/fuzz "${FUZZ_SECONDS:-20}"
