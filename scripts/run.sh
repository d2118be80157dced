#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRISMCASE_TESTS=OFF -DPRISMCASE_BENCH=OFF
cmake --build build -j "$(nproc)" --target prismcase prismcase_data
exec build/prismcase "$@"
