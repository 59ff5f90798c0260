#!/usr/bin/env bash
# Builds the cabinet reader's libFuzzer targets with clang in their own build folder and fuzzes
# for a bounded time (FUZZ_SECONDS, 60 by default): two thirds with the target that decodes on
# the reading thread, the rest with the one that starts decoder threads.
#
# Both start from the committed corpus (cabinet/fuzz/corpus) and from what earlier runs on this
# machine kept (FUZZ_CACHE, default ~/.cache/qdw/fuzz-cabinet, outside any clone, so runs in
# fresh clones build on each other). Inputs that reach code the corpus does not are merged into
# both folders (libFuzzer -merge=1). The committed corpus is kept within FUZZ_CORPUS_FILES files
# and FUZZ_CORPUS_KB kilobytes: past that it is minimised as a whole, and when even that is too
# large the new inputs stay in the cache only. New files in cabinet/fuzz/corpus are meant to be
# committed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}
cache=${FUZZ_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qdw/fuzz-cabinet}
corpus=cabinet/fuzz/corpus
max_files=${FUZZ_CORPUS_FILES:-200}
max_kb=${FUZZ_CORPUS_KB:-1024}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DQDW_FUZZ=ON -DQDW_BUILD_TESTS=OFF \
  -DQDW_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target cabinet_fdi_fuzzer cabinet_fdi_threaded_fuzzer
serial="$build/bin/cabinet_fdi_fuzzer"
threaded="$build/bin/cabinet_fdi_threaded_fuzzer"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$cache" "$work/found" "$work/artifacts"

# A small memory ceiling turns any unbounded allocation into a reported failure.
limits=(-rss_limit_mb=512 -malloc_limit_mb=128 -timeout=10)
fuzz() {
  local fuzzer=$1 time=$2
  echo "== $(basename "$fuzzer") for $time s"
  "$fuzzer" -max_total_time="$time" "${limits[@]}" -max_len=300000 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/found" "$corpus" "$cache"
}
merge() {
  "$serial" -merge=1 "${limits[@]}" "$@" >"$work/merge.log" 2>&1 ||
    { cat "$work/merge.log"; return 1; }
}
size_kb() { du -sk "$1" | cut -f1; }
count() { find "$1" -type f | wc -l; }

status=0
serial_seconds=$((seconds * 2 / 3))
fuzz "$serial" "$serial_seconds" || status=1
fuzz "$threaded" "$((seconds - serial_seconds))" || status=1
if [ $status -ne 0 ]; then
  echo "fuzzing the cabinet reader found a failure; inputs: $(ls "$work/artifacts")"
  mkdir -p "$build/artifacts" && cp "$work/artifacts"/* "$build/artifacts"/ 2>/dev/null || true
  exit 1
fi

merge "$cache" "$work/found"
before=$(count "$corpus")
mkdir "$work/corpus"
cp "$corpus"/* "$work/corpus"/
merge "$work/corpus" "$work/found"
if [ "$(count "$work/corpus")" -gt "$max_files" ] || [ "$(size_kb "$work/corpus")" -gt "$max_kb" ]; then
  # The hand-made seeds (named, not hashes) stay; of the rest only what adds to them.
  mkdir "$work/minimal"
  find "$corpus" -type f -not -regex '.*/[0-9a-f]\{40\}' -exec cp {} "$work/minimal"/ \;
  merge "$work/minimal" "$work/corpus"
  rm -rf "$work/corpus"
  mv "$work/minimal" "$work/corpus"
fi
if [ "$(count "$work/corpus")" -gt "$max_files" ] || [ "$(size_kb "$work/corpus")" -gt "$max_kb" ]; then
  echo "corpus: the new inputs would pass the bound; kept in $cache only"
else
  rm -f "$corpus"/*
  cp "$work/corpus"/* "$corpus"/
  echo "corpus: $before files before, $(count "$corpus") now ($(size_kb "$corpus") KB)"
fi
