#!/usr/bin/env bash
# Builds the cabinet reader's libFuzzer target with clang in its own build folder and runs it
# for a bounded time (FUZZ_SECONDS, 60 by default) from the committed seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DQDW_FUZZ=ON -DQDW_BUILD_TESTS=OFF \
  -DQDW_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target cabinet_fdi_fuzzer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp cabinet/fuzz/corpus/* "$work"/
# A small memory ceiling turns any unbounded allocation into a reported failure.
"$build/bin/cabinet_fdi_fuzzer" -max_total_time="$seconds" -rss_limit_mb=512 \
  -malloc_limit_mb=128 -timeout=10 -max_len=300000 -print_final_stats=1 "$work"
