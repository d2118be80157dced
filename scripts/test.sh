#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, then runs
# each fuzz harness briefly over its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

if compgen -G "fuzz/fuzz_*.cpp" > /dev/null; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPRISMCASE_FUZZ=ON -DPRISMCASE_TESTS=OFF -DPRISMCASE_BENCH=OFF
  cmake --build build-fuzz -j "$jobs" --target fuzzers
  bash scripts/fuzz-briefly.sh build-fuzz/fuzz "${FUZZ_SECONDS:-20}"
fi
