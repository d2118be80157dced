#!/usr/bin/env bash
# Runs every fuzz harness in DIR for SECONDS, seeded from fuzz/seeds/<name>
# and fuzz/crashers/<name> (each finding is kept in crashers/ and must fail cleanly).
set -euo pipefail
dir=$1
seconds=$2
top=$(cd "$(dirname "$0")/.." && pwd)
for fuzzer in "$dir"/fuzz_*; do
  [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus=$(mktemp -d)
  seeds=()
  for s in "$top/fuzz/seeds/$name" "$top/fuzz/crashers/$name"; do
    [ -d "$s" ] && seeds+=("$s")
  done
  echo "fuzzing $name for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 \
    "$corpus" "${seeds[@]}" > "$corpus.log" 2>&1 || { tail -n 40 "$corpus.log"; exit 1; }
  rm -rf "$corpus" "$corpus.log"
done
